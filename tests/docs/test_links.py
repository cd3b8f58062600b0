"""Every relative link between the markdown pages leads somewhere: the file
it names exists and, for #anchor, that file has the heading, by GitHub's
rules for a heading's anchor. Pages move between the README and docs/, and
a link left behind is found here rather than by a reader."""

import glob
import os
import re
import unittest
import urllib.parse

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

FENCE = re.compile(r"^ {0,3}(```|~~~).*?^ {0,3}\1[^\n]*$", re.M | re.S)
CODE_SPAN = re.compile(r"(`+)(?!`).*?(?<!`)\1(?!`)", re.S)
# [text](target) and ![alt](target), the target up to a blank or ")"; and
# reference definitions, [name]: target.
INLINE_LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)", re.M)
HEADING = re.compile(r"^ {0,3}(#{1,6})[ \t]+(.*?)(?:[ \t]+#+)?[ \t]*$", re.M)


def pages():
    names = ["README.md", "README.ja.md"] + sorted(glob.glob(os.path.join(ROOT, "docs", "**", "*.md"),
                                                              recursive=True))
    return [os.path.join(ROOT, n) for n in names]


def prose(text):
    """The text without code, where brackets are no links."""
    return CODE_SPAN.sub("", FENCE.sub("", text))


def slug(heading):
    """GitHub's anchor of a heading: its text as shown, in lower case, without
    punctuation or symbols (letters of any script, digits, "_" and "-"
    stay), each space a "-"."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link shows its text
    text = re.sub(r"<[^>]+>", "", text).replace("`", "")
    text = re.sub(r"(\*\*|__|\*|_)(.+?)\1", r"\2", text)
    return "".join(c for c in text.lower() if c.isalnum() or c in "_- ").replace(" ", "-")


def anchors(path):
    found, seen = set(), {}
    for match in HEADING.finditer(FENCE.sub("", open(path, encoding="utf-8").read())):
        base = slug(match.group(2))
        count = seen.get(base, 0)
        seen[base] = count + 1
        found.add(base if count == 0 else "%s-%d" % (base, count))
    return found


def relative_links(path):
    text = prose(open(path, encoding="utf-8").read())
    targets = INLINE_LINK.findall(text) + REFERENCE.findall(text)
    return [t for t in targets if t and not re.match(r"[a-zA-Z][a-zA-Z0-9+.-]*:|//", t)]


class SlugTest(unittest.TestCase):
    def test_headings_become_githubs_anchors(self):
        for heading, anchor in [
            ("Installing on Windows", "installing-on-windows"),
            ("Checking a download, and Windows' warning", "checking-a-download-and-windows-warning"),
            ("The 32-bit build on a 64-bit-only kernel", "the-32-bit-build-on-a-64-bit-only-kernel"),
            ("ダウンロードの確認と Windows の警告", "ダウンロードの確認と-windows-の警告"),
            ("zip から手でインストールする", "zip-から手でインストールする"),
            ("`scripts/run.sh` and *its* [options](run.md)", "scriptsrunsh-and-its-options"),
            ("Stand-in (1/2 × 1/4)", "stand-in-12--14"),
        ]:
            self.assertEqual(slug(heading), anchor, heading)


class LinksTest(unittest.TestCase):
    def test_every_relative_link_names_a_file_and_heading_that_exist(self):
        broken, count = [], 0
        for page in pages():
            self.assertTrue(os.path.isfile(page), page)
            for target in relative_links(page):
                count += 1
                file_part, _, anchor = urllib.parse.unquote(target).partition("#")
                goal = os.path.normpath(os.path.join(os.path.dirname(page), file_part)) if file_part else page
                where = "%s: %s" % (os.path.relpath(page, ROOT), target)
                if not os.path.exists(goal):
                    broken.append(where + " (no such file)")
                elif anchor and (not goal.endswith(".md") or anchor.lower() not in anchors(goal)):
                    broken.append(where + " (no such heading)")
        self.assertGreater(count, 10, "the pages hold hardly a link: the link pattern reads nothing")
        self.assertEqual(broken, [])


if __name__ == "__main__":
    unittest.main()

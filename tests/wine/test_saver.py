"""The saver under Wine, from the platform's /s to Escape: the desktop and
the built-in picture on drive C:, the renderer's window, the music, a host
that ends with its renderer and leaves nothing behind, the folders the host
may be installed in, a renderer that takes seconds to open its window, one
that dies or is no program, and a leftover renderer window."""

import array
import glob
import math
import os
import resource
import shutil
import signal
import subprocess
import time
import unittest

import harness
from harness import sjis

RENDERER_TITLE = "ぬめらぼ_VC"
SCREEN = (1280, 1024)
PICTURE_TITLE = "numerabo-saver-desktop"

# 5 x 4 blocks of distinct colours filling the screen.
GRID = (5, 4)


def block_colours(seed):
    colours = []
    for i in range(GRID[0] * GRID[1]):
        v = (i * 97 + seed * 53) % 256
        colours.append(((v * 7 + 40) % 256, (v * 13 + 90) % 256, (v * 29 + 160) % 256))
    return colours


def make_desktop_picture(path, seed):
    """A PNG of the screen's size made of coloured blocks; returns the colours."""
    colours = block_colours(seed)
    bw, bh = SCREEN[0] // GRID[0], SCREEN[1] // GRID[1]
    draw = []
    for i, (r, g, b) in enumerate(colours):
        x, y = (i % GRID[0]) * bw, (i // GRID[0]) * bh
        draw += ["-fill", "rgb(%d,%d,%d)" % (r, g, b), "-draw",
                 "rectangle %d,%d %d,%d" % (x, y, x + bw - 1, y + bh - 1)]
    subprocess.run(["convert", "-size", "%dx%d" % SCREEN, "xc:black", *draw, path], check=True)
    return colours


def block_centres():
    bw, bh = SCREEN[0] // GRID[0], SCREEN[1] // GRID[1]
    return [((i % GRID[0]) * bw + bw // 2, (i // GRID[0]) * bh + bh // 2)
            for i in range(GRID[0] * GRID[1])]


def sample_points(width, height, step=64):
    return [(x, y) for y in range(step // 2, height, step) for x in range(step // 2, width, step)]


class Desktop:
    """A known picture shown at (0, 0) over the whole screen."""

    def __init__(self, work, seed):
        self.path = os.path.join(work, "desktop-%d.png" % seed)
        self.colours = make_desktop_picture(self.path, seed)
        self.viewer = harness.show_picture(self.path, title="%s-%d" % (PICTURE_TITLE, seed))
        self.window = harness.wait_window("%s-%d" % (PICTURE_TITLE, seed), timeout=20 * harness.LOAD_PATIENCE)
        # Wait until the screen really shows it, corner to corner: a screen
        # still empty (one colour) would be no desktop to capture at all.
        first, last = block_centres()[0], block_centres()[-1]
        shot = os.path.join(work, "desktop-check.png")
        shown = lambda image: (harness.close_enough(image.pixel(*first), self.colours[0], 8) and
                               harness.close_enough(image.pixel(*last), self.colours[-1], 8))
        if not harness.wait_screen(shot, shown, timeout=30 * harness.LOAD_PATIENCE):
            self.close()
            raise AssertionError("the desktop picture did not appear on the screen")

    def close(self):
        self.viewer.kill()
        self.viewer.wait(timeout=10)


def back_picture_jpeg():
    """The committed 512 x 512 JPEG of the saver's built-in picture."""
    for path in sorted(glob.glob(os.path.join(harness.SOURCE_DIR, "host", "resources", "**", "*.jp*g"),
                                 recursive=True)):
        r = subprocess.run(["identify", "-format", "%w %h", path], stdout=subprocess.PIPE, env=harness.C_LOCALE)
        if r.stdout.decode().strip() == "512 512":
            return path
    return None


def write_settings(folder, kind, music_file=""):
    """The settings file beside the host, in Shift-JIS as the dialog writes it."""
    text = ("[Section]\r\nBGM区分= %d\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=%s\r\n" % (kind, music_file))
    with open(os.path.join(folder, harness.SETTINGS_NAME), "wb") as f:
        f.write(sjis(text))


def make_tone(path, seconds=3, frequency=440):
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path,
                    "synth", str(seconds), "sine", str(frequency), "vol", "0.5"], check=True)


def prefix_processes(prefix, needle="ぬめらぼ"):
    """Command lines of the processes running in prefix whose command line
    holds needle."""
    return [cmdline for cmdline in prefix.unix_processes().values() if needle in cmdline]


def prefix_pids(prefix, needle):
    """Unix process ids of the prefix's processes whose command line holds needle."""
    return [pid for pid, cmdline in prefix.unix_processes().items() if needle in cmdline]


class ToneMeter:
    """Seconds of sound in the capture: 0.1 s slices louder than an RMS of 0.1,
    counted as the capture grows."""

    def __init__(self, prefix):
        self.path, self.read, self.loud = prefix.capture_path, 0, 0

    def seconds(self):
        window = harness.CAPTURE_RATE // 10 * harness.CAPTURE_FRAME
        try:
            with open(self.path, "rb") as f:
                f.seek(self.read)
                data = f.read()
        except FileNotFoundError:
            return 0.0
        for i in range(0, len(data) - window + 1, window):
            samples = array.array("h", data[i:i + window])
            if math.sqrt(sum(s * s for s in samples) / len(samples)) / 32768 > 0.1:
                self.loud += 1
            self.read += window
        return self.loud / 10


def wineserver_idle(prefix, timeout=20):
    """True when the prefix's wineserver ends (no client left) within timeout."""
    prefix.release_desktop()
    try:
        subprocess.run([harness.WINESERVER, "-w"], env=prefix.env(), timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return True
    except subprocess.TimeoutExpired:
        return False


class RendererWatch:
    """The saver_watch helper: reports the exit code of the process that owns
    the renderer's window."""

    def __init__(self, prefix, window_wait=30, end_wait=60):
        self.process = prefix.start(harness.helper_binary("saver_watch"), str(window_wait),
                                    str(end_wait), stdout=subprocess.PIPE)

        self.seen = b""

    def wait_seen(self):
        """Waits until the helper has found the window (or given up): under
        emulation it starts slowly, and a window gone before it looked would
        never be seen."""
        self.seen = self.process.stdout.readline()

    def result(self, timeout=60):
        out, _ = self.process.communicate(timeout=timeout)
        return (self.seen + out).decode("utf-8", "replace").split()


def escape_renderer(test, window):
    gone = lambda: not harness.find_windows(RENDERER_TITLE)
    harness.hold_key(window, "Escape", until=gone)
    if not harness.wait_for(gone, timeout=10 * harness.RUN.patience):
        test.fail("the renderer's window stays after Escape")


def show_screen(test, colour, corner=None):
    """Covers the screen with one colour (and a 64-pixel top-left corner of
    another), and waits until the screen shows it."""
    path = os.path.join(test.prefix.path, "screen.png")
    draw = ["-fill", "rgb(%d,%d,%d)" % corner, "-draw", "rectangle 0,0 63,63"] if corner else []
    subprocess.run(["convert", "-size", "%dx%d" % SCREEN, "xc:rgb(%d,%d,%d)" % colour, *draw, path], check=True)
    viewer = harness.show_picture(path, title=PICTURE_TITLE + "-plain")
    test.addCleanup(viewer.kill)
    shot = os.path.join(test.prefix.path, "screen-check.png")
    test.assertIsNotNone(harness.wait_screen(shot, lambda i: harness.close_enough(i.pixel(640, 512), colour, 8)))


POLICY_KEY = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"


def set_desktop_look(prefix, wallpaper, style, tile="0", background="10 20 30", policy=None):
    """The user's wallpaper (a Windows path), its placement and the
    background colour, as the display settings store them; and group
    policy's wallpaper and style (a pair), or none."""
    policy_text = ("[-%s]\r\n" % POLICY_KEY if policy is None else
                   '[%s]\r\n"Wallpaper"="%s"\r\n"WallpaperStyle"="%s"\r\n'
                   % (POLICY_KEY, policy[0].replace("\\", "\\\\"), policy[1]))
    text = ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
            '"Wallpaper"="%s"\r\n"WallpaperStyle"="%s"\r\n"TileWallpaper"="%s"\r\n\r\n'
            '[HKEY_CURRENT_USER\\Control Panel\\Colors]\r\n"Background"="%s"\r\n\r\n%s'
            % (wallpaper.replace("\\", "\\\\"), style, tile, background, policy_text))
    with open(prefix.c("look.reg"), "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))
    code, _ = prefix.run("reg", "import", "C:\\look.reg", cwd=prefix.drive_c)
    os.remove(prefix.c("look.reg"))
    return code


def register_reducing_codec(prefix):
    """Registers the tests' codec (reducing_codec.dll: Wine's JPEG codec has
    no reduced decoding) for its own format in this prefix only; returns
    reg's exit code. Each copy it makes is logged to C:\\reducing_codec.log."""
    shutil.copy(os.path.join(harness.RUN.build_dir, "helpers", "reducing_codec.dll"), prefix.c("reducing_codec.dll"))
    codec = "{6E756D72-6463-3031-9A10-272727272701}"
    classes = "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\"
    text = ("Windows Registry Editor Version 5.00\r\n\r\n"
            '[%s%s]\r\n"FriendlyName"="test codec"\r\n"ContainerFormat"="%s"\r\n\r\n'
            '[%s%s\\InprocServer32]\r\n@="C:\\\\reducing_codec.dll"\r\n"ThreadingModel"="Both"\r\n\r\n'
            '[%s%s\\Patterns\\0]\r\n"Position"=dword:00000000\r\n"Length"=dword:00000008\r\n'
            '"Pattern"=hex:4e,55,4d,52,44,43,30,31\r\n"Mask"=hex:ff,ff,ff,ff,ff,ff,ff,ff\r\n\r\n'
            '[%s{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance\\%s]\r\n"CLSID"="%s"\r\n'
            % (classes, codec, codec, classes, codec, classes, codec, classes, codec, codec))
    with open(prefix.c("codec.reg"), "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))
    code, _ = prefix.run("reg", "import", "C:\\codec.reg", cwd=prefix.drive_c)
    os.remove(prefix.c("codec.reg"))
    return code


def write_reducing_picture(path, size, colours):
    """A picture in the tests' codec's format: its size and the colours of
    its four quarters (top-left, top-right, bottom-left, bottom-right)."""
    with open(path, "wb") as f:
        f.write(b"NUMRDC01" + size[0].to_bytes(4, "little") + size[1].to_bytes(4, "little") +
                bytes(c for colour in colours for c in colour))


def transcoded_wallpaper(prefix):
    """Unix path of Windows' own copy of the wallpaper shown,
    %APPDATA%\\Microsoft\\Windows\\Themes\\TranscodedWallpaper."""
    roaming = [p for p in glob.glob(os.path.join(prefix.drive_c, "users", "*", "AppData", "Roaming"))
               if os.sep + "Public" + os.sep not in p]
    folder = os.path.join(roaming[0], "Microsoft", "Windows", "Themes")
    os.makedirs(folder, exist_ok=True)
    return os.path.join(folder, "TranscodedWallpaper")


def make_large_jpeg(path, size, colours):
    """A JPEG of size in four quarters of colours, through cjpeg: ImageMagick
    refuses pictures this large."""
    w, h = size
    rows = [bytes(colours[i]) * (w // 2) + bytes(colours[i + 1]) * (w - w // 2) for i in (0, 2)]
    cjpeg = subprocess.Popen(["cjpeg", "-quality", "90", "-outfile", path], stdin=subprocess.PIPE)
    cjpeg.stdin.write(b"P6 %d %d 255\n" % (w, h))
    for y in range(h):
        cjpeg.stdin.write(rows[y >= h // 2])
    cjpeg.stdin.close()
    if cjpeg.wait() != 0:
        raise RuntimeError("cjpeg failed")


def overflowing_huffman_jpeg():
    """225 bytes: one Huffman table declaring 200 codes of length 1, which
    cannot exist (a reader that fills its look-up table before it checks
    writes far past it)."""
    table = bytes([0x00, 200] + [0] * 15) + bytes(range(200))
    return b"\xff\xd8\xff\xc4" + (len(table) + 2).to_bytes(2, "big") + table + b"\xff\xd9"


def camera_style_jpeg(path, size, colours):
    """A JPEG whose four Huffman tables share one segment, as cameras write
    them, with one count damaged (cjpeg writes one table a segment)."""
    make_quarters(path, size, colours)
    with open(path, "rb") as f:
        data = f.read()
    out, tables, i = bytearray(data[:2]), bytearray(), 2
    while data[i + 1] != 0xDA:
        length = int.from_bytes(data[i + 2:i + 4], "big")
        if data[i + 1] == 0xC4:
            tables += data[i + 4:i + 2 + length]
        else:
            out += data[i:i + 2 + length]
        i += 2 + length
    tables[1 + 3] += 100  # the first table's count of 4-bit codes
    out += b"\xff\xc4" + (len(tables) + 2).to_bytes(2, "big") + tables + data[i:]
    with open(path, "wb") as f:
        f.write(out)


def make_quarters(path, size, colours):
    """A picture of size whose four quarters (top-left, top-right,
    bottom-left, bottom-right) have the four colours."""
    w, h = size
    draw = []
    for i, (r, g, b) in enumerate(colours):
        x, y = (i % 2) * (w // 2), (i // 2) * (h // 2)
        draw += ["-fill", "rgb(%d,%d,%d)" % (r, g, b), "-draw",
                 "rectangle %d,%d %d,%d" % (x, y, x + w // 2 - 1, y + h // 2 - 1)]
    subprocess.run(["convert", "-size", "%dx%d" % size, "xc:black", *draw, path], check=True)


QUARTERS = [(230, 40, 40), (40, 230, 40), (40, 40, 230), (230, 230, 40)]
BACKGROUND = (10, 20, 30)


class SaverRunTest(harness.WineTestCase):
    def show_desktop(self, seed):
        desktop = Desktop(self.prefix.path, seed)
        self.addCleanup(desktop.close)
        return desktop

    def start_host(self, folder, *args, env=None):
        return self.prefix.start(os.path.join(folder, harness.HOST_NAME), *args, env=env)

    def assert_desktop_bitmap(self, shot):
        bmp = self.prefix.c("Numerabo1.bmp")
        self.assertTrue(os.path.isfile(bmp))
        self.assertEqual(harness.read_bmp_header(bmp), (54, SCREEN[0], SCREEN[1], 24, 0))
        self.assertEqual(os.path.getsize(bmp), 54 + SCREEN[0] * 3 * SCREEN[1])
        picture = harness.read_image(bmp)
        for x, y in sample_points(*SCREEN):
            self.assertTrue(harness.close_enough(picture.pixel(x, y), shot.pixel(x, y), 4),
                            (x, y, picture.pixel(x, y), shot.pixel(x, y)))

    def assert_picture_bitmap(self):
        bmp = self.prefix.c("Numerabo2.bmp")
        self.assertEqual(harness.read_bmp_header(bmp), (54, 512, 512, 24, 0))
        self.assertEqual(os.path.getsize(bmp), 54 + 512 * 3 * 512)
        jpeg = back_picture_jpeg()
        self.assertIsNotNone(jpeg, "no 512 x 512 JPEG in host/resources")
        picture, reference = harness.read_image(bmp), harness.read_image(jpeg)
        for x, y in sample_points(512, 512, step=32):
            got = picture.region_mean(x - 2, y - 2, x + 2, y + 2)
            want = reference.region_mean(x - 2, y - 2, x + 2, y + 2)
            self.assertTrue(harness.close_enough(got, want, 12), (x, y, got, want))

    def end_show(self, host, window):
        watch = RendererWatch(self.prefix)
        watch.wait_seen()
        escape_renderer(self, window)
        # The watch looks every 500 ms: the host is gone soon after the window.
        self.assertIsNotNone(harness.wait_exit(host, 1.5), "the host outlives the renderer's window by 1.5 s")
        self.assertEqual(watch.result(), ["window", "exit", "0"])
        self.assertEqual(prefix_processes(self.prefix), [])
        self.assertTrue(wineserver_idle(self.prefix), "processes left in the prefix")

    def assert_silent(self):
        """Nothing plays any more: what the capture gains within a second is silence."""
        before = harness.capture_size(self.prefix)
        time.sleep(1.0)
        after = harness.capture_size(self.prefix)
        if after > before:
            start = before / (harness.CAPTURE_RATE * harness.CAPTURE_FRAME)
            self.assertLess(harness.audio_rms(self.prefix.capture_path, start), 0.01)

    @harness.both_arches
    @harness.code_pages
    def test_saver_run_writes_both_bitmaps_and_ends_with_the_renderer(self):
        folder = self.prefix.install()
        self.show_desktop(1)
        shot = harness.screenshot(os.path.join(self.prefix.path, "shot1.png"))
        host = self.start_host(folder, "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        self.assertIsNone(host.poll())
        self.assert_desktop_bitmap(shot)
        self.assert_picture_bitmap()
        self.end_show(host, window)

    def test_next_run_rewrites_both_bitmaps_and_empty_command_line_runs_the_saver(self):
        folder = self.prefix.install()
        first = self.show_desktop(2)
        host = self.start_host(folder, "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window)
        escape_renderer(self, window)
        self.assertIsNotNone(harness.wait_exit(host, 5))
        first.close()

        # A changed screen, and a second picture file that has been spoilt.
        with open(self.prefix.c("Numerabo2.bmp"), "wb") as f:
            f.write(b"spoilt")
        self.show_desktop(3)
        shot = harness.screenshot(os.path.join(self.prefix.path, "shot3.png"))
        host = self.start_host(folder)
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window for the empty command line")
        self.assert_desktop_bitmap(shot)
        self.assert_picture_bitmap()
        self.end_show(host, window)

    @harness.both_arches
    @harness.code_pages
    def test_wav_music_sounds_during_the_show_and_stops_with_it(self):
        # Blanks and Japanese names, "表" and "ソ" with a trail byte 0x5C.
        folder = self.prefix.install(folder=("Program Files", "ぬめらぼ Saver"))
        os.makedirs(self.prefix.c("音楽 ファイル"))
        make_tone(self.prefix.c("音楽 ファイル", "表ソ.wav"))
        write_settings(folder, 2, "C:\\音楽 ファイル\\表ソ.wav")
        host = self.start_host(folder, "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window from a folder with blanks and Japanese")
        # Past the 3 s tone, so its loop is heard too.
        def seconds():
            return harness.capture_size(self.prefix) / (harness.CAPTURE_RATE * harness.CAPTURE_FRAME)

        self.assertTrue(harness.wait_for(lambda: seconds() > 4.0, timeout=30), "too little audio captured")
        self.assertIsNone(host.poll())
        heard = seconds()
        self.assertGreater(harness.audio_rms(self.prefix.capture_path, heard - 1.5, 1.0), 0.1)
        self.end_show(host, window)
        self.assert_silent()

    @harness.code_pages
    def test_mp3_music_restarts_during_the_show_and_stops_with_it(self):
        # A Japanese folder: a Western system's code page cannot write its name.
        folder = self.prefix.install()
        os.makedirs(self.prefix.c("音楽"))
        length = 1.5
        make_tone(self.prefix.c("音楽", "tone.wav"), length, 660)
        subprocess.run(["lame", "--quiet", self.prefix.c("音楽", "tone.wav"), self.prefix.c("音楽", "Tone.Mp3")],
                       check=True)
        write_settings(folder, 2, "C:\\音楽\\Tone.Mp3")
        host = self.start_host(folder, "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        # Heard for more than two plays' length: the keep-alive restarted it.
        meter = ToneMeter(self.prefix)
        self.assertTrue(harness.wait_for(lambda: meter.seconds() > 2 * length + 0.5, timeout=30, interval=0.5),
                        "the MP3 was not restarted (%.1f s heard)" % meter.seconds())
        self.assertIsNone(host.poll())
        self.end_show(host, window)
        self.assert_silent()

    def test_a_leftover_renderer_window_keeps_the_host_until_it_goes(self):
        folder = self.prefix.install()
        leftover = self.prefix.start(harness.helper_binary("startup_probe"), "window", RENDERER_TITLE,
                                     stdout=subprocess.PIPE)
        self.assertEqual(leftover.stdout.readline().strip(), b"ready")
        old = set(harness.find_windows(RENDERER_TITLE))
        host = self.start_host(folder, "/s")
        mine = harness.wait_for(lambda: set(harness.find_windows(RENDERER_TITLE, True)) - old, timeout=30)
        self.assertTrue(mine, "no renderer window")
        window = mine.pop()
        gone = lambda: window not in harness.find_windows(RENDERER_TITLE)
        harness.hold_key(window, "Escape", until=gone)
        self.assertTrue(harness.wait_for(gone, timeout=10))
        self.assertIsNone(harness.wait_exit(host, 1.5), "the host ended beside a leftover renderer window")
        leftover.kill()
        leftover.stdout.close()
        self.assertIsNotNone(harness.wait_exit(host, 1.5), "the host outlives the last renderer window")

    def test_a_dead_renderer_or_no_program_ends_the_host(self):
        folder = self.prefix.install()
        host = self.start_host(folder, "/s")
        self.assertIsNotNone(harness.wait_window(RENDERER_TITLE, timeout=30), "no renderer window")
        renderer = prefix_pids(self.prefix, harness.RENDERER_NAME)
        self.assertTrue(renderer)
        for pid in renderer:
            os.kill(pid, signal.SIGKILL)
        self.assertIsNotNone(harness.wait_exit(host, 1.5), "the host outlives a killed renderer")

        # A renderer file that is no program: the host ends at its first look,
        # without a message, long before the 10 s it grants a slow renderer.
        with open(os.path.join(folder, harness.RENDERER_NAME), "wb") as f:
            f.write(b"not a program\r\n" * 64)
        host = self.start_host(folder, "/s")
        self.assertIsNotNone(harness.wait_exit(host, 6), "the host waits for a renderer that never came")
        self.assertEqual(harness.find_windows("ぬめらぼ (ScreenSaver)"), [])
        self.assertEqual(prefix_processes(self.prefix), [])

    def test_a_failed_bitmap_write_leaves_the_older_file_whole(self):
        # A file-size limit below the desktop bitmap's 3.9 MB makes its write
        # fail half-way, as a full disk would; the 0.8 MB picture still fits.
        folder = self.prefix.install()
        old = self.prefix.c("Numerabo1.bmp")
        harness.write_bmp24(old, 8, 8, lambda x, y: (200, 30, 30))
        with open(old, "rb") as f:
            before = f.read()
        # The prefix's server starts outside the limit.
        subprocess.run([harness.WINESERVER, "-p"], env=self.prefix.env(), check=True)

        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # a failed write, not a killed process
            resource.setrlimit(resource.RLIMIT_FSIZE, (2 << 20, 2 << 20))

        host = subprocess.Popen([harness.WINE_LOADER, os.path.join(folder, harness.HOST_NAME), "/s"],
                                cwd=folder, env=self.prefix.env(), preexec_fn=limited, start_new_session=True,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.prefix.processes.append(host)
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        with open(old, "rb") as f:
            self.assertEqual(f.read(), before, "the older desktop bitmap was spoilt")
        self.assertEqual(os.path.getsize(self.prefix.c("Numerabo2.bmp")), 54 + 512 * 3 * 512)
        self.assertEqual(sorted(n for n in os.listdir(self.prefix.drive_c) if ".bmp" in n.lower()),
                         ["Numerabo1.bmp", "Numerabo2.bmp"], "a partial file was left behind")
        escape_renderer(self, window)
        self.assertIsNotNone(harness.wait_exit(host, 5), "the host outlives the renderer")


    def test_a_blocked_root_sends_the_bitmaps_to_a_folder_of_the_users_own(self):
        # A folder where C:\\Numerabo1.bmp belongs: the root takes no such file,
        # as for a standard user's 64-bit saver.
        folder = self.prefix.install()
        os.makedirs(self.prefix.c("Numerabo1.bmp"))
        colour = (40, 200, 90)
        # A corner of another colour: a screen of one flat colour would be
        # taken for one the capture cannot see.
        show_screen(self, colour, corner=(0, 0, 0))
        check = os.path.join(self.prefix.path, "check.png")
        host = self.start_host(folder, "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        own = glob.glob(os.path.join(self.prefix.drive_c, "users", "*", "AppData", "Local", "Numerabo"))
        self.assertEqual(len(own), 1, "no folder of the user's own")
        self.assertEqual(harness.read_bmp_header(os.path.join(own[0], "Numerabo1.bmp")),
                         (54, SCREEN[0], SCREEN[1], 24, 0))
        self.assertEqual(harness.read_bmp_header(os.path.join(own[0], "Numerabo2.bmp")), (54, 512, 512, 24, 0))

        def body_carries_the_desktop(image):
            # The body's grey (0.5 to 1) scales the desktop's colour.
            centre = image.region_mean(508, 380, 516, 388)
            scale = max(centre) / max(colour)
            return scale > 0.45 and harness.close_enough(centre, [c * scale for c in colour])

        self.assertIsNotNone(harness.wait_screen(check, body_carries_the_desktop), "the body shows no desktop")
        self.end_show(host, window)


class StandInTest(harness.WineTestCase):
    """Where the capture cannot see the user's desktop, the body carries the
    desktop as Windows draws it without windows."""

    def assert_desktop_picture(self, expect, tolerance):
        """Numerabo1.bmp is whole, alone, and expect(x, y) at every sample point."""
        bmp = self.prefix.c("Numerabo1.bmp")
        self.assertEqual(harness.read_bmp_header(bmp), (54, SCREEN[0], SCREEN[1], 24, 0))
        self.assertEqual(os.path.getsize(bmp), 54 + SCREEN[0] * 3 * SCREEN[1])
        self.assertEqual(sorted(n for n in os.listdir(self.prefix.drive_c) if ".bmp" in n.lower()),
                         ["Numerabo1.bmp", "Numerabo2.bmp"], "a partial file was left behind")
        picture = harness.read_image(bmp)
        for x, y in sample_points(*SCREEN, step=32):
            want = expect(x, y)
            if want is not None:
                self.assertTrue(harness.close_enough(picture.pixel(x, y), want, tolerance),
                                (x, y, picture.pixel(x, y), want))

    def start_on_desktop(self, *desktop):
        """Starts the host with /s through the helper that puts it on a
        desktop of its own (Screen-saver, or the one named); returns the
        helper's Popen once it has started the host."""
        start = self.prefix.start(harness.helper_binary("saver_desktop_start"), *desktop,
                                  str(int(60 * harness.RUN.patience)), "C:\\Numerabo\\" + harness.HOST_NAME, "/s",
                                  stdout=subprocess.PIPE)
        self.assertEqual(harness.read_line(start.stdout, 30 * harness.RUN.patience).strip(), b"started")
        return start

    def run_show(self, expect, tolerance, start=None):
        """One show (the host already started through start, or now): the
        body's desktop is expect, and Escape ends the host. Returns the
        seconds from the start to the renderer's window."""
        t0 = time.time()
        host = start or self.prefix.start(self.prefix.c("Numerabo", harness.HOST_NAME), "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        elapsed = time.time() - t0
        self.assert_desktop_picture(expect, tolerance)
        escape_renderer(self, window)
        if start:
            self.assertEqual(harness.read_line(start.stdout, 10 * harness.RUN.patience).strip(), b"exit 0",
                             "the host did not end with its renderer")
        self.assertIsNotNone(harness.wait_exit(host, 10), "the host outlives the renderer")
        self.assertEqual(prefix_processes(self.prefix), [])
        return elapsed

    def wait_plain_screen(self, colour):
        """The last show's window is gone from the screen, too."""
        shot = os.path.join(self.prefix.path, "flat.png")
        self.assertIsNotNone(harness.wait_screen(shot, lambda i: i.region_mean(0, 0, 1024, 768) == colour))

    @harness.both_arches
    def test_an_idle_start_on_the_screen_saver_desktop_shows_the_wallpaper(self):
        # Under Wine the host's thread is on the desktop named while the
        # capture still sees the X screen: the covering window (not of one
        # colour, so only the desktop's name can make the choice) must not be
        # the picture on "Screen-saver", and must be it on any other desktop.
        self.prefix.install()
        make_quarters(self.prefix.c("wall.jpg"), (800, 600), QUARTERS)
        self.assertEqual(set_desktop_look(self.prefix, "C:\\wall.jpg", "2"), 0)
        colour, corner = (200, 60, 160), (20, 220, 40)
        show_screen(self, colour, corner=corner)
        # Stretched: each quarter of the screen is one of the wallpaper's,
        # away from the blurred seams of the JPEG.
        quarter = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            QUARTERS[(x >= 640) + 2 * (y >= 512)]
        captured = lambda x, y: corner if x < 64 and y < 64 else colour
        for desktop, expect in (((), quarter), (("/desktop:SCREEN-SAVER",), quarter),
                                (("/desktop:Desktop 2",), captured)):
            with self.subTest(desktop=desktop):
                shot = os.path.join(self.prefix.path, "shown.png")
                self.assertIsNotNone(harness.wait_screen(shot, lambda i: i.pixel(640, 512) == colour))
                self.run_show(expect, 16, start=self.start_on_desktop(*desktop))

    def test_a_flat_screen_gives_the_wallpaper_in_its_place_or_the_colour_alone(self):
        self.prefix.install()
        # A PNG fitted: 1280 x 640 across the middle, bars above and below.
        make_quarters(self.prefix.c("fit.png"), (400, 200), QUARTERS)
        fitted = lambda x, y: BACKGROUND if y < 192 or y >= 832 else \
            None if abs(x - 640) < 4 or abs(y - 512) < 4 else QUARTERS[(x >= 640) + 2 * (y >= 512)]
        # A GIF tiled from the top-left, 300 x 200 not fitting the screen a
        # whole number of times.
        make_quarters(self.prefix.c("tile.gif"), (300, 200), QUARTERS)
        tiled = lambda x, y: QUARTERS[(x % 300 >= 150) + 2 * (y % 200 >= 100)]
        with open(self.prefix.c("junk.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0 not a picture" * 100)
        # A phone photo's 48 megapixels, filling the screen (cropped left and
        # right), and a file of gigabytes that is never read whole.
        make_large_jpeg(self.prefix.c("large.jpg"), (8000, 6000), QUARTERS)
        with open(self.prefix.c("huge.jpg"), "wb") as f:
            f.truncate(3 << 30)
        # Windows' copy of the picture shown, stretched where it stands in.
        copy = list(reversed(QUARTERS))
        stretched = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            copy[(x >= 640) + 2 * (y >= 512)]
        quartered = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            QUARTERS[(x >= 640) + 2 * (y >= 512)]
        # (wallpaper, style, tile, policy's wallpaper and style, expect, tolerance)
        cases = [("C:\\fit.png", "6", "0", None, fitted, 4), ("C:\\tile.gif", "0", "1", None, tiled, 0),
                 ("C:\\missing.jpg", "10", "0", None, lambda x, y: BACKGROUND, 0),
                 ("C:\\junk.jpg", "2", "0", None, lambda x, y: BACKGROUND, 0),
                 ("C:\\large.jpg", "10", "0", None, quartered, 16),
                 # Policy outranks Control Panel: its picture, "fit" (3) over "stretch".
                 ("C:\\tile.gif", "2", "0", ("C:\\fit.png", "3"), fitted, 4),
                 # From here Windows' copy is there: a solid colour leaves it
                 # out, a wallpaper that cannot be read gives it.
                 ("", "2", "0", None, lambda x, y: BACKGROUND, 0),
                 ("C:\\missing.jpg", "2", "0", None, stretched, 16),
                 ("C:\\huge.jpg", "2", "0", None, stretched, 16)]
        grey = (90, 90, 90)
        show_screen(self, grey)
        for wallpaper, style, tile, policy, expect, tolerance in cases:
            with self.subTest(wallpaper=wallpaper, policy=policy):
                if wallpaper == "":
                    make_quarters(transcoded_wallpaper(self.prefix) + ".jpg", (800, 600), copy)
                    os.rename(transcoded_wallpaper(self.prefix) + ".jpg", transcoded_wallpaper(self.prefix))
                self.wait_plain_screen(grey)
                self.assertEqual(set_desktop_look(self.prefix, wallpaper, style, tile, policy=policy), 0)
                self.run_show(expect, tolerance)

    @harness.both_arches
    def test_a_wallpaper_that_never_answers_gives_windows_copy_within_the_bound(self):
        # A named pipe that a Linux process holds open without writing: a
        # read of it waits for ever, as one of a share off the network can.
        self.prefix.install()
        pipe = self.prefix.c("never.jpg")
        os.mkfifo(pipe)
        holder = subprocess.Popen(["sh", "-c", 'exec 3>"$0"; exec sleep 600', pipe], start_new_session=True)
        self.addCleanup(lambda: (holder.kill(), holder.wait()))
        make_quarters(transcoded_wallpaper(self.prefix) + ".jpg", (800, 600), QUARTERS)
        os.rename(transcoded_wallpaper(self.prefix) + ".jpg", transcoded_wallpaper(self.prefix))
        self.assertEqual(set_desktop_look(self.prefix, "C:\\never.jpg", "2"), 0)
        grey = (90, 90, 90)
        show_screen(self, grey)
        quarter = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            QUARTERS[(x >= 640) + 2 * (y >= 512)]
        elapsed = self.run_show(quarter, 16)
        # Loosely, for a loaded machine: a start that waited on the pipe
        # would never show at all.
        self.assertLess(elapsed, 10 * harness.RUN.patience)

    @harness.both_arches
    def test_a_codec_that_decodes_at_a_fraction_of_the_size_is_asked_for_it(self):
        # The tests' own codec (Wine's JPEG codec has no reduced decoding), in
        # this prefix only: an 8000 x 6000 picture stretched over 1280 x 1024
        # is asked for at 1/4, 2000 x 1500, each row once and in order.
        self.prefix.install()
        self.assertEqual(register_reducing_codec(self.prefix), 0)
        write_reducing_picture(self.prefix.c("photo.nrd"), (8000, 6000), QUARTERS)
        self.assertEqual(set_desktop_look(self.prefix, "C:\\photo.nrd", "2"), 0)
        show_screen(self, (90, 90, 90))
        quarter = lambda x, y: None if abs(x - 640) < 4 or abs(y - 512) < 4 else \
            QUARTERS[(x >= 640) + 2 * (y >= 512)]
        self.run_show(quarter, 2)
        with open(self.prefix.c("reducing_codec.log")) as f:
            copies = [line.split() for line in f.read().splitlines()]
        # One copy of the whole reduced picture: a codec asked for bands may
        # decode from the top for each of them.
        self.assertEqual(copies, [["reduced", "2000", "1500", "0", "1500"]])
        # Centred, the picture is drawn at its own size: 12000 x 9000 at 4
        # bytes a pixel is past the bound and is never decoded; Windows' copy
        # stands in.
        os.remove(self.prefix.c("reducing_codec.log"))
        write_reducing_picture(self.prefix.c("photo.nrd"), (12000, 9000), QUARTERS)
        copy = list(reversed(QUARTERS))
        make_quarters(transcoded_wallpaper(self.prefix) + ".jpg", (800, 600), copy)
        os.rename(transcoded_wallpaper(self.prefix) + ".jpg", transcoded_wallpaper(self.prefix))
        self.assertEqual(set_desktop_look(self.prefix, "C:\\photo.nrd", "0"), 0)
        self.wait_plain_screen((90, 90, 90))
        centred = lambda x, y: BACKGROUND if x < 240 or x >= 1040 or y < 212 or y >= 812 else \
            None if abs(x - 640) < 24 or abs(y - 512) < 24 else copy[(x >= 640) + 2 * (y >= 512)]
        self.run_show(centred, 16)
        self.assertFalse(os.path.exists(self.prefix.c("reducing_codec.log")), "the picture was decoded")

    @harness.both_arches
    def test_a_damaged_jpeg_gives_windows_copy(self):
        self.prefix.install()
        with open(self.prefix.c("overflow.jpg"), "wb") as f:
            f.write(overflowing_huffman_jpeg())
        camera_style_jpeg(self.prefix.c("camera.jpg"), (800, 600), QUARTERS)
        copy = list(reversed(QUARTERS))
        make_quarters(transcoded_wallpaper(self.prefix) + ".jpg", (800, 600), copy)
        os.rename(transcoded_wallpaper(self.prefix) + ".jpg", transcoded_wallpaper(self.prefix))
        stretched = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            copy[(x >= 640) + 2 * (y >= 512)]
        grey = (90, 90, 90)
        show_screen(self, grey)
        for name in ("overflow.jpg", "camera.jpg"):
            with self.subTest(wallpaper=name):
                self.wait_plain_screen(grey)
                self.assertEqual(set_desktop_look(self.prefix, "C:\\" + name, "2"), 0)
                self.run_show(stretched, 16, start=self.start_on_desktop())

    @harness.both_arches
    def test_the_shells_answer_outranks_the_registry(self):
        # The tests' own server of the shell's class, in this prefix only.
        self.prefix.install()
        shutil.copy(os.path.join(harness.RUN.build_dir, "helpers", "shell_wallpaper.dll"),
                    self.prefix.c("shell_wallpaper.dll"))
        key = "HKLM\\Software\\Classes\\CLSID\\{C2CF3110-460E-4FC1-B9D0-8A1C0C9CC4BD}\\InprocServer32"
        for value in (["/ve", "/d", "C:\\shell_wallpaper.dll"], ["/v", "ThreadingModel", "/d", "Both"]):
            self.assertEqual(self.prefix.run("reg", "add", key, *value, "/f", cwd=self.prefix.drive_c)[0], 0)
        make_quarters(self.prefix.c("fit.png"), (400, 200), QUARTERS)
        make_quarters(self.prefix.c("wall.jpg"), (800, 600), list(reversed(QUARTERS)))
        make_quarters(transcoded_wallpaper(self.prefix) + ".jpg", (800, 600), list(reversed(QUARTERS)))
        os.rename(transcoded_wallpaper(self.prefix) + ".jpg", transcoded_wallpaper(self.prefix))
        shell_colour = (70, 80, 90)
        fitted = lambda x, y: shell_colour if y < 192 or y >= 832 else \
            None if abs(x - 640) < 4 or abs(y - 512) < 4 else QUARTERS[(x >= 640) + 2 * (y >= 512)]
        make_quarters(self.prefix.c("detached.png"), (400, 200), list(reversed(QUARTERS)))
        copy = list(reversed(QUARTERS))
        stretched = lambda x, y: None if abs(x - 640) < 24 or abs(y - 512) < 24 else \
            copy[(x >= 640) + 2 * (y >= 512)]
        # (the shell's path, position, how it answers) over Control Panel's
        # wall.jpg stretched: "fit" (3); a solid colour (an empty path) with
        # Windows' copy there; a detached monitor listed first, whose
        # (other) picture is not the primary's; no one picture (a
        # slideshow): Windows' copy.
        cases = [("C:\\fit.png", 3, "", fitted, 4), ("", 2, "", lambda x, y: shell_colour, 0),
                 ("C:\\fit.png", 3, "detached-first", fitted, 4), ("", 2, "slideshow", stretched, 16)]
        self.assertEqual(set_desktop_look(self.prefix, "C:\\wall.jpg", "2"), 0)
        grey = (90, 90, 90)
        show_screen(self, grey)
        for path, position, mode, expect, tolerance in cases:
            with self.subTest(path=path, mode=mode):
                with open(self.prefix.c("shell_wallpaper.txt"), "w") as f:
                    f.write("%s\n%d\n%d %d %d\n%s\n" % ((path, position) + shell_colour + (mode,)))
                self.wait_plain_screen(grey)
                self.run_show(expect, tolerance)


class SaverInstallTest(harness.WineTestCase):
    def run_show(self, folder):
        host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        time.sleep(1.0)
        self.assertIsNone(host.poll(), "the host ended while the renderer runs")
        self.assertTrue(os.path.isfile(self.prefix.c("Numerabo1.bmp")))
        escape_renderer(self, window)
        self.assertIsNotNone(harness.wait_exit(host, 5), "the host outlives the renderer")
        self.assertEqual(prefix_processes(self.prefix), [])

    def test_root_folder_of_drive_c(self):
        self.run_show(self.prefix.install(folder=()))


class SlowRendererTest(harness.WineTestCase):
    def test_host_waits_for_a_renderer_that_starts_slowly(self):
        folder = self.prefix.install(renderer=False)
        shutil.copy(harness.helper_binary("saver_slow_renderer"),
                    os.path.join(folder, harness.RENDERER_NAME))
        host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        time.sleep(2.0)
        self.assertEqual(harness.find_windows(RENDERER_TITLE), [], "the stand-in opened early")
        self.assertIsNone(host.poll(), "the host ended before the renderer's window opened")
        window = harness.wait_window(RENDERER_TITLE, timeout=20)
        self.assertIsNotNone(window)
        time.sleep(1.0)
        self.assertIsNone(host.poll(), "the host ended while the renderer runs")
        escape_renderer(self, window)
        self.assertIsNotNone(harness.wait_exit(host, 5), "the host outlives the renderer")
        self.assertEqual(prefix_processes(self.prefix), [])


if __name__ == "__main__":
    unittest.main()

#include "host/saver/start_record.h"

#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

const char* const kFormat = "1";

// One line's value: cut to the longest kept, without splitting a surrogate
// pair, and on one line.
std::string ValueText(std::wstring value) {
  if (value.size() > kLongestRecordValue) {
    size_t keep = kLongestRecordValue;
    const uint32_t last = static_cast<uint32_t>(value[keep - 1]);
    if (last >= 0xD800 && last <= 0xDBFF) --keep;
    value.resize(keep);
    value += L"...";
  }
  for (wchar_t& c : value) {
    const uint32_t unit = static_cast<uint32_t>(c);
    if (unit < 0x20 || unit == 0x7F) c = L'?';
  }
  return Utf8(value);
}

class Lines {
 public:
  void Add(const char* key, const std::wstring& value) {
    text_ += key;
    text_ += ": ";
    text_ += ValueText(value);
    text_ += "\r\n";
  }
  // Narrow values are the host's own text, Shift-JIS.
  void Add(const char* key, const std::string& value) { Add(key, Wide(value)); }
  void Add(const char* key, const char* value) { Add(key, std::string(value)); }
  void AddNumber(const std::string& key, uint32_t value) { Add(key.c_str(), std::to_string(value)); }

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

const char* CaptureText(CaptureOutcome capture) {
  switch (capture) {
    case CaptureOutcome::Used:
      return "used";
    case CaptureOutcome::Failed:
      return "failed";
    case CaptureOutcome::ScreenSaverDesktop:
      return "screen-saver-desktop";
    case CaptureOutcome::Flat:
      return "flat";
  }
  return "?";
}

const char* StandInText(StandInOutcome standIn) {
  switch (standIn) {
    case StandInOutcome::NotNeeded:
      return "not-needed";
    case StandInOutcome::Drawn:
      return "drawn";
    case StandInOutcome::NoImage:
      return "no-image";
  }
  return "?";
}

const char* ForegroundText(Foreground foreground) {
  switch (foreground) {
    case Foreground::Unknown:
      return "unknown";
    case Foreground::Renderer:
      return "renderer";
    case Foreground::Host:
      return "host";
    case Foreground::Other:
      return "other";
    case Foreground::None:
      return "none";
  }
  return "?";
}

std::string DecodingText(int32_t reduction) {
  if (reduction == 1) return "whole";
  if (reduction > 1) return "reduced 1/" + std::to_string(reduction) + " by the codec";
  return "none";
}

void AddStandIn(Lines& lines, const StandInReport& s) {
  lines.Add("stand-in-values", s.values);
  lines.Add("stand-in-source", s.source);
  lines.Add("stand-in-passed-over", s.passedOver.empty() ? std::string("none") : s.passedOver);
  lines.Add("stand-in-wallpaper", s.wallpaper);
  lines.Add("stand-in-fit", s.fit);
  lines.Add("stand-in-decoding", DecodingText(s.reduction));
  lines.AddNumber("stand-in-values-ms", s.valuesMs);
  lines.AddNumber("stand-in-read-ms", s.readMs);
  lines.AddNumber("stand-in-decode-ms", s.decodeMs);
  lines.AddNumber("stand-in-draw-ms", s.drawMs);
}

}  // namespace

bool ForegroundSettled(Foreground foreground, uint64_t msSinceWindowShown) {
  return foreground == Foreground::Renderer || msSinceWindowShown >= kForegroundPatienceMs;
}

std::string StartRecordText(const StartFacts& facts) {
  Lines lines;
  lines.Add("numerabo-start-record", kFormat);
  lines.Add("time", facts.time);
  lines.Add("host", facts.host);
  lines.Add("windows", facts.windows);
  lines.Add("desktop", facts.desktop.empty() ? std::wstring(L"(not readable)") : facts.desktop);
  lines.Add("capture", CaptureText(facts.capture));
  lines.Add("stand-in", StandInText(facts.standIn));
  if (facts.standIn == StandInOutcome::Drawn) AddStandIn(lines, facts.standInReport);
  lines.Add("renderer", facts.rendererStarted ? "started" : "not-started");
  for (const StartStep& step : facts.steps) lines.AddNumber(step.name + "-ms", step.ms);
  lines.Add("renderer-window", !facts.rendererWindowSeen    ? "not-seen"
                               : facts.rendererWindowShown ? "shown"
                                                           : "never-shown");
  lines.Add("foreground", ForegroundText(facts.foreground));
  if (facts.foreground != Foreground::Unknown) lines.AddNumber("foreground-looked-ms", facts.foregroundLookedMs);
  return lines.Text();
}

}  // namespace numerabo

// Measures Tovix against a baseline in the same run, under Wine: the cost
// of its keyboard hook on typing, the time from a lock key's release to the
// lamp on screen, its start-up time (also against a program that does the
// same work before its window shows) and what it holds after start. Runs of
// Tovix and of its baseline take turns, so that each meets Wine as warm as
// the other, and are added until the ratio of each Tovix run to the baseline
// run next to it has settled, or a bound is reached. Writes one line a
// figure to <out folder>\windows.tsv:
//   measure <TAB> tovix <TAB> baseline <TAB> unit
//   [<TAB> ratio of minimums <TAB> by-pair lower quartile <TAB> median <TAB> upper quartile <TAB> pairs <TAB> ended]
// tovix and baseline being medians where runs took turns.
//
// bench_driver <tovix.exe> <baseline_window.exe> <same_work_baseline.exe> <out folder>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "driver_support.h"

#include <psapi.h>
#include <shellapi.h>

namespace {

std::string tovixExe;
std::string baselineCommand;
std::string sameWorkCommand;
FILE* results = nullptr;

double now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Interpolated between the two nearest ranks, so that the quartiles of a
// few runs move smoothly as runs are added.
double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const double at = p * static_cast<double>(values.size() - 1);
  const size_t below = static_cast<size_t>(at);
  if (below + 1 >= values.size()) return values.back();
  return values[below] + (values[below + 1] - values[below]) * (at - static_cast<double>(below));
}

// Each Tovix run over the baseline run it took turns with.
std::vector<double> byPair(const std::vector<double>& tovix, const std::vector<double>& baseline) {
  std::vector<double> ratios;
  for (size_t i = 0; i < tovix.size() && i < baseline.size(); ++i) ratios.push_back(tovix[i] / baseline[i]);
  return ratios;
}

// Whether more pairs would hardly move the verdict: the quartiles of the
// by-pair ratios within 5 % of their median.
bool settled(const std::vector<double>& tovix, const std::vector<double>& baseline) {
  const std::vector<double> ratios = byPair(tovix, baseline);
  const double median = percentile(ratios, 0.5);
  return percentile(ratios, 0.25) >= 0.95 * median && percentile(ratios, 0.75) <= 1.05 * median;
}

// Runs rounds, at least `fewest`, until isSettled() says so, `most` have
// run or they have taken `seconds`; says which ended them. The time bound
// keeps the whole benchmark within its minutes on a slow day.
template <typename Round, typename Settled>
std::string repeat(int fewest, int most, Round round, Settled isSettled, double seconds = 1e9) {
  const double begin = now();
  for (int done = 1; done <= most; ++done) {
    round();
    if (done < fewest) continue;
    if (isSettled()) return "settled after " + std::to_string(done);
    if (now() - begin >= seconds * 1000) {
      return "time bound of " + std::to_string(static_cast<int>(seconds)) + " s after " + std::to_string(done);
    }
  }
  return "bound of " + std::to_string(most);
}

// Runs one round's steps in order, or the other way round every other
// round, so that no program is always the one to meet Wine first. Tovix's
// step goes in the middle: each baseline's run is then next to Tovix's.
void inTurns(const std::vector<std::function<void()>>& steps, size_t round) {
  if (round % 2 == 0) {
    for (const auto& step : steps) step();
  } else {
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) (*step)();
  }
}

void report(const char* measure, double tovix, double baseline, const char* unit) {
  std::printf("%s: %.3f (baseline %.3f) %s\n", measure, tovix, baseline, unit);
  std::fprintf(results, "%s\t%.3f\t%.3f\t%s\n", measure, tovix, baseline, unit);
  std::fflush(results);
}

// A paired measure: the medians, the ratio of the minimums (the least
// disturbed run of each side) and the quartiles of the by-pair ratios.
void report(const char* measure, const std::vector<double>& tovix, const std::vector<double>& baseline,
            const char* unit, const std::string& ended) {
  const std::vector<double> ratios = byPair(tovix, baseline);
  const double t = percentile(tovix, 0.5), b = percentile(baseline, 0.5);
  const double minimums =
      *std::min_element(tovix.begin(), tovix.end()) / *std::min_element(baseline.begin(), baseline.end());
  const double low = percentile(ratios, 0.25), median = percentile(ratios, 0.5), high = percentile(ratios, 0.75);
  std::printf("%s: %.3f (baseline %.3f) %s; by pair %.3f [%.3f, %.3f] over %zu pairs, %s\n", measure, t, b, unit,
              median, low, high, ratios.size(), ended.c_str());
  std::fprintf(results, "%s\t%.3f\t%.3f\t%s\t%.3f\t%.3f\t%.3f\t%.3f\t%zu\t%s\n", measure, t, b, unit, minimums, low,
               median, high, ratios.size(), ended.c_str());
  std::fflush(results);
}

// A user's tray always holds icons. Wine shows its tray window with the
// first icon and hides it with the last, which would add to each program's
// start; the driver keeps an icon of its own there throughout.
class OwnTrayIcon {
 public:
  explicit OwnTrayIcon(HWND window) {
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uID = 1;
    record.uFlags = NIF_ICON;
    record.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    Shell_NotifyIconA(NIM_ADD, &record);
    e2e::waitFor(trayHoldsOwnOnly, 5000);
  }
  ~OwnTrayIcon() { Shell_NotifyIconA(NIM_DELETE, &record); }
  OwnTrayIcon(const OwnTrayIcon&) = delete;
  OwnTrayIcon& operator=(const OwnTrayIcon&) = delete;

  static bool trayHoldsOwnOnly() { return e2e::visibleTrayIcons() == 1; }

 private:
  NOTIFYICONDATAA record = {};
};

HWND baselineWindow() { return FindWindowA("Baseline", "Baseline"); }

// Starts a program and waits until its window shows; the time it took.
// Looked for every millisecond: where Wine runs natively a start takes some
// 50 ms, and at the usual 10 ms where a look fell moved it by a fifth.
e2e::Handle start(const std::string& command, bool (*shown)(), double* took) {
  const double begin = now();
  e2e::Handle process(e2e::startProcess(command));
  e2e::waitFor(shown, 10000, 1);
  if (took != nullptr) *took = now() - begin;
  return process;
}

void stop(const e2e::Handle& process) {
  PostMessageA(baselineWindow(), WM_CLOSE, 0, 0);
  e2e::waitForExit(process.get(), 5000);
}

bool baselineShown() { return IsWindowVisible(baselineWindow()) != FALSE; }

// Types this many key events (digits, in batches of fifty presses and
// releases) into the edit control; the milliseconds they take at the pace
// of the median batch, so that a spell of the machine's own slowness inside
// the round counts for little.
double typing(e2e::TypingWindow& target, long events) {
  target.takeFocus();
  std::vector<double> batches;
  for (long sent = 0; sent < events;) {
    std::vector<WORD> keys;
    for (int i = 0; i < 50 && sent < events; ++i, sent += 2) keys.push_back(static_cast<WORD>('0' + (sent / 2) % 10));
    SetWindowTextA(target.edit, "");
    const double begin = now();
    e2e::tapKeys(keys);
    e2e::waitFor(
        [&] {
          return e2e::lastKeyUp() == keys.back() && GetWindowTextLengthA(target.edit) == static_cast<int>(keys.size());
        },
        10000);
    batches.push_back(now() - begin);
  }
  return percentile(batches, 0.5) * static_cast<double>(batches.size());
}

// Rounds of typing alone, beside Tovix and beside a baseline with an empty
// hook, taking turns; then the time a key event takes beside each hook, the
// difference being what Tovix's hook does beyond passing the event on.
void keystrokeOverhead(e2e::TypingWindow& target) {
  const long events = 2000;
  std::vector<double> alone, nullHook, tovix;
  const std::string ended = repeat(
      10, 30,
      [&] {
        inTurns({[&] { alone.push_back(typing(target, events)); },
                 [&] {
                   const e2e::Tovix program(tovixExe);
                   e2e::waitFor([] { return !e2e::panelVisible(); }, 3000);
                   tovix.push_back(typing(target, events));
                 },
                 [&] {
                   const e2e::Handle hook = start(baselineCommand + " --hook", baselineShown, nullptr);
                   // Hidden, as Tovix's panel is while it types.
                   ShowWindow(baselineWindow(), SW_HIDE);
                   e2e::waitFor([] { return !baselineShown(); }, 3000);
                   nullHook.push_back(typing(target, events));
                   stop(hook);
                 }},
                tovix.size());
      },
      [&] { return settled(tovix, alone) && settled(tovix, nullHook); }, 180);
  report("typing 2000 key events", tovix, alone, "ms", ended);
  report("typing 2000 key events, baseline with an empty low-level hook", tovix, nullHook, "ms", ended);
  report("typing, time a key event takes, baseline with an empty low-level hook",
         percentile(tovix, 0.5) * 1000 / events, percentile(nullHook, 0.5) * 1000 / events, "microseconds");
}

// Caps Lock tapped once the lamp's window has hidden; the milliseconds to
// each lamp on the screen at `at`, in the colour lit() gives for the key's
// new state. Either program's lamp is looked for alike, at the same cost.
std::vector<double> keyToPixel(int taps, HWND window, POINT at, std::uint32_t (*lit)(bool capsOn)) {
  std::vector<double> times;
  bool on = (GetKeyState(VK_CAPITAL) & 1) != 0;
  for (int i = 0; i < taps; ++i) {
    e2e::waitFor([&] { return !IsWindowVisible(window); }, 2000);
    on = !on;
    const std::uint32_t colour = lit(on);
    const double begin = now();
    e2e::tapKeys({VK_CAPITAL});
    // Looked for every millisecond: at the usual 10 ms a figure of some 40 ms
    // would move by a quarter with where a look fell.
    e2e::waitFor([&] { return IsWindowVisible(window) && e2e::screenColour(at) == colour; }, 2000, 1);
    times.push_back(now() - begin);
  }
  return times;
}

// Against a program that takes the same trip and nothing else: a low-level
// hook that shows a topmost window without activating it, which paints a
// green circle. Rounds of twenty taps with each program, taking turns;
// a round's pair is the two programs' medians, or 95th percentiles. Each tap
// waits a second for the lamp to hide: few rounds fit in the time.
void lampLatency(e2e::TypingWindow& target) {
  constexpr int kTaps = 20;
  std::vector<double> plainMedians, lampMedians, plainTails, lampTails;
  const std::string ended = repeat(
      5, 6,
      [&] {
        std::vector<double> plainRound, lampRound;
        inTurns({[&] {
                   const e2e::Handle baseline = start(
                       baselineCommand + " --lamp", [] { return baselineWindow() != nullptr; }, nullptr);
                   target.takeFocus();
                   POINT centre = {92, 60};
                   ClientToScreen(baselineWindow(), &centre);
                   plainRound = keyToPixel(kTaps, baselineWindow(), centre, [](bool) { return 0x00FF00u; });
                   stop(baseline);
                 },
                 [&] {
                   const e2e::Tovix program(tovixExe);
                   target.takeFocus();
                   lampRound = keyToPixel(kTaps, e2e::panel(), e2e::lampCentre(VK_CAPITAL),
                                          [](bool on) { return on ? e2e::kLampOn : e2e::kLampOff; });
                 }},
                lampMedians.size());
        plainMedians.push_back(percentile(plainRound, 0.5));
        lampMedians.push_back(percentile(lampRound, 0.5));
        plainTails.push_back(percentile(plainRound, 0.95));
        lampTails.push_back(percentile(lampRound, 0.95));
      },
      [&] { return settled(lampMedians, plainMedians); });
  report("lamp latency, median, baseline taking the same path", lampMedians, plainMedians, "ms", ended);
  report("lamp latency, 95th percentile, baseline taking the same path", lampTails, plainTails, "ms", ended);
}

// When each step of Tovix's start-up shows from outside, from the process's
// start: its panel window exists, its icon is in the tray, its panel shows.
void startUpTimeline() {
  std::vector<double> created, icon, shown;
  for (int round = 0; round < 5; ++round) {
    const double begin = now();
    const e2e::Handle program(e2e::startProcess("\"" + tovixExe + "\""));
    e2e::waitFor([] { return FindWindowA("TovixForm", "Tovix") != nullptr; }, 10000);
    created.push_back(now() - begin);
    e2e::waitFor([] { return e2e::visibleTrayIcons() == 2; }, 10000);
    icon.push_back(now() - begin);
    e2e::waitFor(e2e::panelVisible, 10000);
    shown.push_back(now() - begin);
    e2e::closeTovix(program.get());
    e2e::waitFor(OwnTrayIcon::trayHoldsOwnOnly, 5000);
  }
  report("start-up: panel window created, median", percentile(created, 0.5), 0, "ms");
  report("start-up: icon in the tray, median", percentile(icon, 0.5), 0, "ms");
  report("start-up: panel shown, median", percentile(shown, 0.5), 0, "ms");
}

// What Tovix and the minimal baseline hold once started. These are also
// the session's first starts of each program, which meet a Wine still
// settling in and so count for no start-up time.
void footprint() {
  const e2e::Tovix program(tovixExe);
  e2e::waitFor([] { return !e2e::panelVisible(); }, 3000);
  const e2e::Handle other = start(baselineCommand, baselineShown, nullptr);
  PROCESS_MEMORY_COUNTERS mine = {}, theirs = {};
  GetProcessMemoryInfo(program.process(), &mine, sizeof mine);
  GetProcessMemoryInfo(other.get(), &theirs, sizeof theirs);
  report("GDI objects after start", e2e::gdiObjects(program.process()), e2e::gdiObjects(other.get()), "objects");
  report("windows after start", e2e::windowCount(GetProcessId(program.process())),
         e2e::windowCount(GetProcessId(other.get())), "windows");
  report("working set after start", mine.WorkingSetSize / 1024.0, theirs.WorkingSetSize / 1024.0, "KiB");
  stop(other);
  program.close();
  stop(start(sameWorkCommand, baselineShown, nullptr));
  e2e::waitFor(OwnTrayIcon::trayHoldsOwnOnly, 5000);
}

// Starts of Tovix and of both baselines, taking turns, so that each meets
// Wine as warm as the others.
void startUp() {
  std::vector<double> tovix, baseline, sameWork;
  const std::string ended = repeat(
      20, 45,
      [&] {
        const auto startBaseline = [](const std::string& command, std::vector<double>& times) {
          double took = 0;
          const e2e::Handle other = start(command, baselineShown, &took);
          times.push_back(took);
          stop(other);
          // The same-work baseline's icon gone before the next start.
          e2e::waitFor(OwnTrayIcon::trayHoldsOwnOnly, 5000);
        };
        inTurns({[&] { startBaseline(baselineCommand, baseline); },
                 [&] {
                   double took = 0;
                   const e2e::Handle program = start("\"" + tovixExe + "\"", e2e::panelVisible, &took);
                   tovix.push_back(took);
                   e2e::closeTovix(program.get());
                 },
                 [&] { startBaseline(sameWorkCommand, sameWork); }},
                tovix.size());
      },
      [&] { return settled(tovix, baseline) && settled(tovix, sameWork); }, 300);
  report("start-up to window shown, median", tovix, baseline, "ms", ended);
  report("start-up to window shown, median, baseline doing the same work", tovix, sameWork, "ms", ended);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: bench_driver <tovix.exe> <baseline_window.exe> <same_work_baseline.exe> <out folder>\n");
    return 2;
  }
  tovixExe = argv[1];
  baselineCommand = "\"" + std::string(argv[2]) + "\"";
  sameWorkCommand = "\"" + std::string(argv[3]) + "\"";
  // Binary: bench/run.sh reads the lines without a carriage return.
  results = std::fopen((std::string(argv[4]) + "\\windows.tsv").c_str(), "wb");
  if (results == nullptr) return 1;
  e2e::TypingWindow target;
  const OwnTrayIcon ownIcon(target.frame);
  footprint();
  startUp();
  startUpTimeline();
  keystrokeOverhead(target);
  lampLatency(target);
  std::fclose(results);
  return 0;
}

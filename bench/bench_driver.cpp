// Measures Tovix against a baseline in the same run, under Wine: the cost
// of its keyboard hook on typing, the time from a lock key's release to the
// lamp on screen, its start-up time (also against a program that does the
// same work before its window shows) and what it holds after start. Runs of
// Tovix and of its baseline take turns, so that each meets Wine as warm as
// the other. Writes one line a figure to <out folder>\windows.tsv:
//   measure <TAB> tovix <TAB> baseline <TAB> unit [<TAB> lowest <TAB> median <TAB> highest <TAB> pairs]
// the last four, where runs take turns, for the ratio of each Tovix run to
// the baseline run next to it: how far one pair's ratio strays from another.
//
// bench_driver <tovix.exe> <baseline_window.exe> <same_work_baseline.exe> <out folder>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver_support.h"

#include <psapi.h>

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

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

// Writes a figure; with the runs it came from, paired in the order they ran,
// also the lowest, median and highest ratio of a Tovix run to its pair's
// baseline run.
void report(const char* measure, double tovix, double baseline, const char* unit,
            const std::vector<double>& tovixRuns = {}, const std::vector<double>& baselineRuns = {}) {
  std::printf("%s: %.3f (baseline %.3f) %s\n", measure, tovix, baseline, unit);
  std::fprintf(results, "%s\t%.3f\t%.3f\t%s", measure, tovix, baseline, unit);
  std::vector<double> ratios;
  for (size_t i = 0; i < tovixRuns.size() && i < baselineRuns.size(); ++i) {
    if (baselineRuns[i] > 0) ratios.push_back(tovixRuns[i] / baselineRuns[i]);
  }
  if (!ratios.empty()) {
    std::printf("  ratio by pair: lowest %.3f, median %.3f, highest %.3f over %zu pairs\n", percentile(ratios, 0),
                percentile(ratios, 0.5), percentile(ratios, 1), ratios.size());
    std::fprintf(results, "\t%.3f\t%.3f\t%.3f\t%zu", percentile(ratios, 0), percentile(ratios, 0.5),
                 percentile(ratios, 1), ratios.size());
  }
  std::fprintf(results, "\n");
  std::fflush(results);
}

HWND baselineWindow() { return FindWindowA("Baseline", "Baseline"); }

// Starts the baseline and waits until its window shows; the time it took.
e2e::Handle start(const std::string& command, bool (*shown)(), double* took) {
  const double begin = now();
  e2e::Handle process(e2e::startProcess(command));
  e2e::waitFor(shown, 10000);
  if (took != nullptr) *took = now() - begin;
  return process;
}

void stop(const e2e::Handle& process) {
  PostMessageA(baselineWindow(), WM_CLOSE, 0, 0);
  e2e::waitForExit(process.get(), 5000);
}

bool baselineShown() { return IsWindowVisible(baselineWindow()) != FALSE; }

// Types this many key events (digits, in batches of fifty presses and
// releases) into the edit control; the milliseconds it took.
double typing(e2e::TypingWindow& target, long events) {
  target.takeFocus();
  double total = 0;
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
    total += now() - begin;
  }
  return total;
}

// Rounds of typing alone, beside a baseline with an empty hook, beside Tovix.
void keystrokeOverhead(e2e::TypingWindow& target) {
  const long events = 5000;
  std::vector<double> alone, nullHook, tovix;
  for (int round = 0; round < 5; ++round) {
    alone.push_back(typing(target, events));
    const e2e::Handle hook = start(baselineCommand + " --hook", baselineShown, nullptr);
    nullHook.push_back(typing(target, events));
    stop(hook);
    const e2e::Tovix program(tovixExe);
    e2e::waitFor([] { return !e2e::panelVisible(); }, 3000);
    tovix.push_back(typing(target, events));
  }
  report("typing 5000 key events", percentile(tovix, 0.5), percentile(alone, 0.5), "ms", tovix, alone);
  report("typing 5000 key events, baseline with an empty low-level hook", percentile(tovix, 0.5),
         percentile(nullHook, 0.5), "ms", tovix, nullHook);
}

// Caps Lock tapped once a lamp window has hidden; the milliseconds to each
// green lamp on the screen. lit: whether the lamp shows green now, with
// the key's new state.
std::vector<double> keyToPixel(int taps, bool (*hidden)(), bool (*lit)(bool capsOn)) {
  std::vector<double> times;
  bool on = (GetKeyState(VK_CAPITAL) & 1) != 0;
  for (int i = 0; i < taps; ++i) {
    e2e::waitFor(hidden, 2000);
    on = !on;
    const double begin = now();
    e2e::tapKeys({VK_CAPITAL});
    e2e::waitFor([&] { return lit(on); }, 2000);
    times.push_back(now() - begin);
  }
  return times;
}

// Against a program that takes the same trip and nothing else: a low-level
// hook that shows a topmost window without activating it, which paints a
// green circle. Five rounds of forty taps each, the baseline's then Tovix's;
// a round's pair is the two programs' medians, or 95th percentiles.
void lampLatency(e2e::TypingWindow& target) {
  constexpr int kTaps = 40;
  std::vector<double> plain, lamp, plainMedians, lampMedians, plainTails, lampTails;
  for (int round = 0; round < 5; ++round) {
    const e2e::Handle baseline = start(
        baselineCommand + " --lamp", [] { return baselineWindow() != nullptr; }, nullptr);
    target.takeFocus();
    const std::vector<double> plainRound = keyToPixel(
        kTaps, [] { return !baselineShown(); },
        [](bool) {
          POINT centre = {92, 60};
          ClientToScreen(baselineWindow(), &centre);
          return baselineShown() && e2e::screenColour(centre) == 0x00FF00;
        });
    stop(baseline);

    const e2e::Tovix program(tovixExe);
    target.takeFocus();
    const std::vector<double> lampRound = keyToPixel(
        kTaps, [] { return !e2e::panelVisible(); },
        [](bool on) {
          return e2e::panelVisible() && e2e::lampColour(VK_CAPITAL) == (on ? e2e::kLampOn : e2e::kLampOff);
        });
    plain.insert(plain.end(), plainRound.begin(), plainRound.end());
    lamp.insert(lamp.end(), lampRound.begin(), lampRound.end());
    plainMedians.push_back(percentile(plainRound, 0.5));
    lampMedians.push_back(percentile(lampRound, 0.5));
    plainTails.push_back(percentile(plainRound, 0.95));
    lampTails.push_back(percentile(lampRound, 0.95));
  }
  report("lamp latency, median, baseline taking the same path", percentile(lamp, 0.5), percentile(plain, 0.5), "ms",
         lampMedians, plainMedians);
  report("lamp latency, 95th percentile, baseline taking the same path", percentile(lamp, 0.95),
         percentile(plain, 0.95), "ms", lampTails, plainTails);
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
    e2e::waitFor([] { return e2e::visibleTrayIcons() == 1; }, 10000);
    icon.push_back(now() - begin);
    e2e::waitFor(e2e::panelVisible, 10000);
    shown.push_back(now() - begin);
    e2e::closeTovix(program.get());
    e2e::waitFor([] { return e2e::visibleTrayIcons() == 0; }, 5000);
  }
  report("start-up: panel window created, median", percentile(created, 0.5), 0, "ms");
  report("start-up: icon in the tray, median", percentile(icon, 0.5), 0, "ms");
  report("start-up: panel shown, median", percentile(shown, 0.5), 0, "ms");
}

// Starts of Tovix and of both baselines, interleaved, so that each meets
// Wine as warm as the others.
void startUpAndFootprint() {
  std::vector<double> tovix, baseline, sameWork;
  double took = 0;
  for (int round = 0; round < 9; ++round) {
    const double begin = now();
    const e2e::Tovix program(tovixExe);
    tovix.push_back(now() - begin);
    if (round == 0) {
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
    }
    program.close();
    for (const auto& [command, times] :
         {std::pair{&baselineCommand, &baseline}, std::pair{&sameWorkCommand, &sameWork}}) {
      const e2e::Handle other = start(*command, baselineShown, &took);
      times->push_back(took);
      stop(other);
      // The same-work baseline's icon gone before the next start.
      e2e::waitFor([] { return e2e::visibleTrayIcons() == 0; }, 5000);
    }
  }
  report("start-up to window shown, median", percentile(tovix, 0.5), percentile(baseline, 0.5), "ms", tovix, baseline);
  report("start-up to window shown, median, baseline doing the same work", percentile(tovix, 0.5),
         percentile(sameWork, 0.5), "ms", tovix, sameWork);
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
  results = std::fopen((std::string(argv[4]) + "\\windows.tsv").c_str(), "w");
  if (results == nullptr) return 1;
  e2e::TypingWindow target;
  startUpAndFootprint();
  startUpTimeline();
  keystrokeOverhead(target);
  lampLatency(target);
  std::fclose(results);
  return 0;
}

// startup_bench: how long the launcher takes from the start of its process to its main
// window shown and painted, on a settings file of 1 page of 5 buttons, of 1 page and of 20
// pages of 100 bound buttons, and of 1 page and of 40 pages of 40 x 40 buttons, against a
// bare window with the main window's styles, made and shown the same way in the same run;
// the many-page starts against their one-page ones (pages nobody looks at should cost
// nothing); where the launcher's start spends its time, phase by phase; the memory each
// start holds once shown. Then one start of the 40 pages of 40 x 40 whose pages are shown
// one after another: the windows the process holds (against its budget of 5,000), each
// page's build apart from the room made for it (a page of 1,600 windows released), a
// released page built again against the first builds made with as many windows held, and
// the memory, windows and the system's counts of user and GDI objects once every page has
// been shown. The starts of 1 page of 5 and of 100 buttons are also taken dark ("Theme=2"),
// each against its light start in the same round (the dark mode should cost at most 1.05
// times the light).
//
//   startup_bench [RUNS]            RUNS starts of each kind (default 7); prints medians
//   startup_bench --child KIND      one start (KIND bare, small, page100, large, page1600
//                                   or huge); prints the milliseconds since process
//                                   creation and since main, private bytes and working
//                                   set, then each phase's ms
//   startup_bench --child visit     the visit of every page; prints its report
//
// Each start is a process of its own (the bench starts itself again), one after another:
// a second main window could not hold the hot keys of the first. The kinds take turns, so
// that a busy moment of the machine falls on all of them alike. "Shown and painted" is
// the moment the window is visible, every message its start left queued has been handled
// and nothing of it (children included) is waiting to be painted.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "bench/bench_support.h"
#include "core/file_io.h"
#include "gui/application.h"
#include "gui/platform/handles.h"
#include "gui/platform/ole_scope.h"
#include "gui/platform/start_phases.h"
#include "gui/platform/window_count.h"

namespace {

using vl::bench::Now;
using vl::bench::TicksToMs;

struct Kind {
  const wchar_t* name;
  const char* label;
  int pages;  // 0: the bare window, no settings file
  int buttons;
  int columns = 10;
  int size = 64;  // pixels square
  int theme = 0;  // "Theme" in [Setting]; 0 writes none
};
constexpr Kind kKinds[] = {
    {L"bare", "bare window", 0, 0},
    {L"small", "launcher, 1 page x 5 buttons", 1, 5},
    {L"page100", "launcher, 1 page x 100 buttons", 1, 100},
    {L"large", "launcher, 20 pages x 100 buttons", 20, 100},
    {L"page1600", "launcher, 1 page x 40 x 40 buttons", 1, 1600, 40, 16},
    {L"huge", "launcher, 40 pages x 40 x 40 buttons", 40, 1600, 40, 16},
    {L"smalldark", "launcher dark, 1 page x 5 buttons", 1, 5, 10, 64, 2},
    {L"page100dark", "launcher dark, 1 page x 100 buttons", 1, 100, 10, 64, 2},
};
// Pages nobody looks at should cost nothing at start: each many-page start against the
// start of its first page alone (indexes into kKinds).
struct StartRatio {
  std::size_t many, one;
};
constexpr StartRatio kStartRatios[] = {{3, 2}, {5, 4}};
constexpr double kStartRatioGoal = 1.25;
// The dark starts against the light ones of the same file.
constexpr StartRatio kThemeRatios[] = {{6, 1}, {7, 2}};
constexpr double kThemeRatioGoal = 1.05;
// The visit: the huge file's pages shown one after another in one start.
constexpr Kind kVisit = {L"visit", "launcher, 40 pages x 40 x 40 buttons visited", 40, 1600, 40, 16};
constexpr int kFirstVisits = 8;          // pages shown first, one after another
constexpr int kVisitsAgain = 6;          // of those, shown again
constexpr int kUserObjectQuota = 10000;  // what Windows allows a process by default

std::int64_t FileTimeTicks(const FILETIME& t) {
  return static_cast<std::int64_t>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
}

double MsSinceProcessCreation() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>(FileTimeTicks(now) - FileTimeTicks(created)) / 10000.0;
}

// The memory the process has committed for itself (heap, stacks, its windows' and
// bitmaps' data); what Windows calls private bytes, which Wine's counters leave at 0.
std::size_t CommittedPrivateBytes() {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
  }
  return total;
}

// Paints the window at once, as wWinMain does before it makes the hidden dialogs, and
// takes the time; then lets the start's queued work run (the tray icon), as the message
// loop would, and reports. Fails when the window is not on screen or still has something
// to paint.
int Finish(std::int64_t mainStart, HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  const std::int64_t painted = Now();
  const double fromCreation = MsSinceProcessCreation();
  if (!IsWindowVisible(hwnd) || GetUpdateRect(hwnd, nullptr, FALSE)) {
    std::fprintf(stderr, "startup_bench: the window was not shown and painted\n");
    return 1;
  }
  vl::MarkStartPhase("painted");
  vl::bench::PumpMessages();
  vl::MarkStartPhase("(after: queued work)");
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("%.3f %.3f %zu %zu\n", fromCreation, TicksToMs(painted - mainStart), CommittedPrivateBytes(),
              static_cast<std::size_t>(memory.WorkingSetSize));
  std::int64_t previous = mainStart;
  for (const vl::StartMark& mark : vl::StartMarks()) {
    std::printf("%s\t%.3f\n", mark.phase, TicksToMs(mark.ticks - previous));
    previous = mark.ticks;
  }
  std::fflush(stdout);
  return 0;
}

// The page at `index` shown as a click on its tab shows it, to its buttons painted and
// every message it left handled; its milliseconds.
double ShowPage(vl::TfrmMain& main, int index) {
  const std::int64_t start = Now();
  main.Base().SetActivePageIndex(index);
  main.BaseChange();
  RedrawWindow(main.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  vl::bench::PumpMessages();
  return TicksToMs(Now() - start);
}

std::string MinMedianMax(const std::vector<double>& v) {
  char text[80];
  std::snprintf(text, sizeof text, "%.1f (%.1f-%.1f)", vl::bench::Median(v), vl::bench::Quantile(v, 0),
                vl::bench::Quantile(v, 1));
  return text;
}

// One showing of a page not built: the room made for it (the windows counted, and a page
// released when they would pass the budget) and the build of its buttons, apart, ms; and
// the windows the process held when the build began.
struct Showing {
  double release = 0, build = 0;
  int held = 0;
};

// After the start, the first kFirstVisits pages shown one after another (the first is
// shown by the start), the windows of the process counted after each; kVisitsAgain of them
// shown again (by then released, where the launcher releases pages), each against its first
// showing; then every other page, and what the process holds after all of them. Prints the
// committed private bytes on the first line, for the parent to set against the bare window,
// then the report. A launcher that keeps every page stops at Windows' quota.
// A showing that has to make room first destroys a page of 1,600 windows, which takes as
// long as a build: the room is made apart, as the build would make it, and each part timed.
int Visit(vl::TfrmMain& main) {
  const DWORD self = GetCurrentProcessId();
  RedrawWindow(main.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  vl::bench::PumpMessages();
  const int pages = static_cast<int>(main.PageList().size());
  std::string report;
  auto say = [&](const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    report += line;
  };
  int most = vl::CountWindowsOfProcess(self), shown = 1;
  bool stopped = false;
  // Shows page p unless its windows would pass Windows' quota, where Windows would refuse
  // them (Wine has no quota, and its server gives out at some 65,000 windows): the visit
  // stops there. Nothing when it stopped.
  auto visit = [&](int p) -> std::optional<Showing> {
    vl::TPage& page = *main.PageList()[static_cast<std::size_t>(p)];
    Showing showing;
    if (!stopped && !page.Built()) {
      const std::int64_t start = Now();
      static_cast<vl::TPageHost&>(main).MakeRoom(page, page.Grid().BtnCount());
      showing.release = TicksToMs(Now() - start);
    }
    const int held = vl::CountWindowsOfProcess(self);
    if (stopped || (!page.Built() && held + kVisit.buttons > kUserObjectQuota)) {
      if (!stopped)
        say("  stopped before page %d: %d windows held, and its %d more would pass the quota\n", p + 1, held,
            kVisit.buttons);
      stopped = true;
      return std::nullopt;
    }
    showing.held = held;
    showing.build = ShowPage(main, p);
    most = std::max(most, vl::CountWindowsOfProcess(self));
    shown = std::max(shown, p + 1);
    return showing;
  };
  std::vector<std::optional<Showing>> first(kFirstVisits);
  std::string held;
  try {
    held = " " + std::to_string(most);
    auto line = [&](const char* what, int p, const Showing& s) {
      say("  page %d %s: build %.1f ms with %d windows held; room made before it %.1f ms\n", p + 1, what, s.build,
          s.held, s.release);
    };
    for (int p = 1; p < kFirstVisits && !stopped; ++p) {
      first[static_cast<std::size_t>(p)] = visit(p);
      if (stopped) break;
      held += " " + std::to_string(vl::CountWindowsOfProcess(self));
    }
    say("windows held as the pages of 40 x 40 are shown one after another:%s\n", held.c_str());
    say("  the most: %d (Windows' quota of user objects: %d)\n", most, kUserObjectQuota);
    for (int p = 1; p < kFirstVisits && first[static_cast<std::size_t>(p)]; ++p)
      line("first shown", p, *first[static_cast<std::size_t>(p)]);
    // A page shown again is set against the first builds made with as many windows held
    // (the first pages were built beside fewer).
    std::vector<double> likeFirst, againTimes;
    int againHeld = 0;
    for (int p = 1; p <= kVisitsAgain && first[static_cast<std::size_t>(p)]; ++p) {
      const bool released = !main.PageList()[static_cast<std::size_t>(p)]->Built();
      std::optional<Showing> again = visit(p);
      if (!again) break;
      line(released ? "shown again, released meanwhile" : "shown again, held meanwhile", p, *again);
      againTimes.push_back(again->build);
      againHeld = again->held;
    }
    for (const std::optional<Showing>& f : first)
      if (f && std::abs(f->held - againHeld) <= 100) likeFirst.push_back(f->build);
    say("a released page built again %s ms, against %s ms for the first builds with as many windows held: "
        "again / first %.2f (goal <= 1.00)\n",
        MinMedianMax(againTimes).c_str(), MinMedianMax(likeFirst).c_str(),
        vl::bench::Median(againTimes) / vl::bench::Median(likeFirst));
    for (int p = kFirstVisits; p < pages && !stopped; ++p) visit(p);
  } catch (const std::exception& e) {
    say("  a page could not be shown: %s\n", e.what());
  }
  const std::size_t privateBytes = CommittedPrivateBytes();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  const double mb = 1024.0 * 1024.0;
  say("after pages 1-%d of %d shown: %d windows (the most seen: %d), committed private bytes %.2f MB, "
      "working set %.2f MB\n",
      shown, pages, vl::CountWindowsOfProcess(self), most, static_cast<double>(privateBytes) / mb,
      static_cast<double>(memory.WorkingSetSize) / mb);
  say("GetGuiResources: %lu user objects, %lu GDI objects (Wine answers 0 to both; Windows counts)\n",
      GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  std::printf("%zu\n%s", privateBytes, report.c_str());
  std::fflush(stdout);
  return 0;
}

int Child(const Kind& kind, std::int64_t mainStart) {
  if (kind.pages == 0) {
    vl::TApplication app(L"RavariVudovi");
    vl::bench::TBareWindow window(app.OwnerWindow());
    ShowWindow(window.Handle(), SW_SHOWNORMAL);
    return Finish(mainStart, window.Handle());
  }
  // As wWinMain does it, short of the single-instance mutex.
  vl::TOleScope ole;
  vl::TApplication app(L"RavariVudovi");
  vl::MarkStartPhase("application");
  auto main = std::make_unique<vl::TfrmMain>();
  HWND owner = app.OwnerWindow();
  ShowWindow(owner, SW_HIDE);
  SetWindowLongPtrW(owner, GWL_EXSTYLE, GetWindowLongPtrW(owner, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  if (&kind == &kVisit) return Visit(*main);
  int code = Finish(mainStart, main->Handle());
  if (main->PageList().size() != static_cast<std::size_t>(kind.pages)) {
    // A start that fell back to a new page measured the wrong thing.
    std::fprintf(stderr, "startup_bench: %zu pages built of %d\n", main->PageList().size(), kind.pages);
    return 1;
  }
  return code;
}

struct Sample {
  double fromCreation;
  double fromMain;
  double privateBytes;
  double workingSet;
  std::vector<std::pair<std::string, double>> phases;  // in the order they came
};

// Starts this program again for one start of `kind`; its output, nothing when it failed.
std::optional<std::string> RunChildOutput(const Kind& kind) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::nullopt;
  vl::UniqueKernelHandle reader(readEnd), writer(writeEnd);
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

  std::wstring exe = vl::RunningExecutablePath();
  std::wstring command = L"\"" + exe + L"\" --child " + kind.name;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writer.get();
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return std::nullopt;
  vl::UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  writer.reset();  // the child's copy is the last: reading ends when the child does

  std::string output;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  if (WaitForSingleObject(process.get(), 600000) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 1;
  GetExitCodeProcess(process.get(), &code);
  if (code != 0) return std::nullopt;
  return output;
}

// One start of `kind`; nothing when it failed.
std::optional<Sample> RunChild(const Kind& kind) {
  std::optional<std::string> out = RunChildOutput(kind);
  if (!out) return std::nullopt;
  const std::string& output = *out;
  Sample s{};
  if (std::sscanf(output.c_str(), "%lf %lf %lf %lf", &s.fromCreation, &s.fromMain, &s.privateBytes,
                  &s.workingSet) != 4)
    return std::nullopt;
  for (std::size_t line = output.find('\n'); line != std::string::npos; line = output.find('\n', line + 1)) {
    std::size_t tab = output.find('\t', line);
    std::size_t end = output.find_first_of("\r\n", line + 1);
    if (tab == std::string::npos || tab > end) continue;
    s.phases.emplace_back(output.substr(line + 1, tab - line - 1), std::strtod(output.c_str() + tab + 1, nullptr));
  }
  return s;
}

int Parent(int runs) {
  const std::filesystem::path ini = vl::SettingsFilePath();
  std::vector<std::vector<Sample>> samples(std::size(kKinds));
  for (int r = 0; r < runs; ++r) {
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
      const Kind& kind = kKinds[k];
      // Written afresh each time: a start writes its pages back when it ends.
      if (kind.pages > 0) vl::bench::WriteSettings(ini, kind.pages, kind.buttons, -1, kind.columns, kind.size);
      if (kind.theme) vl::TIniFile(ini).WriteInteger(L"Setting", L"Theme", kind.theme);
      std::optional<Sample> s = RunChild(kind);
      if (!s) {
        std::fprintf(stderr, "startup_bench: the start of \"%ls\" failed\n", kind.name);
        return 1;
      }
      samples[k].push_back(*s);
    }
  }
  vl::bench::WriteSettings(ini, kVisit.pages, kVisit.buttons, -1, kVisit.columns, kVisit.size);
  std::optional<std::string> visit = RunChildOutput(kVisit);
  std::filesystem::remove(ini);

  auto column = [&](std::size_t k, double Sample::*field) {
    std::vector<double> v;
    for (const Sample& s : samples[k]) v.push_back(s.*field);
    return v;
  };
  // Each round's starts follow one another closely, so the ratio is taken within a round
  // and the median of those is printed: the machine's pace drifts between rounds.
  auto ratio = [&](std::size_t k, double Sample::*field) {
    std::vector<double> v;
    for (std::size_t r = 0; r < samples[k].size(); ++r) v.push_back(samples[k][r].*field / samples[0][r].*field);
    return vl::bench::Median(v);
  };
  std::printf("start-up to the main window shown and painted: median of %d starts, ms (min-max)\n", runs);
  std::printf("%-34s %24s %24s %10s %10s\n", "", "since process creation", "since main", "x bare", "x bare");
  std::printf("%-34s %24s %24s %10s %10s\n", "", "", "", "(creation)", "(main)");
  for (std::size_t k = 0; k < std::size(kKinds); ++k) {
    auto creation = column(k, &Sample::fromCreation);
    auto fromMain = column(k, &Sample::fromMain);
    char a[64], b[64];
    std::snprintf(a, sizeof a, "%.1f (%.1f-%.1f)", vl::bench::Median(creation), vl::bench::Quantile(creation, 0),
                  vl::bench::Quantile(creation, 1));
    std::snprintf(b, sizeof b, "%.1f (%.1f-%.1f)", vl::bench::Median(fromMain), vl::bench::Quantile(fromMain, 0),
                  vl::bench::Quantile(fromMain, 1));
    std::printf("%-34s %24s %24s %10.2f %10.2f\n", kKinds[k].label, a, b, ratio(k, &Sample::fromCreation),
                ratio(k, &Sample::fromMain));
  }
  std::printf("x bare: the median over the rounds of each round's start against its bare window.\n");
  for (const StartRatio& r : kStartRatios) {
    std::vector<double> v;
    for (std::size_t round = 0; round < samples[r.many].size(); ++round)
      v.push_back(samples[r.many][round].fromCreation / samples[r.one][round].fromCreation);
    std::printf("%s against %s: x %.2f since process creation (goal <= %.2f)\n", kKinds[r.many].label,
                kKinds[r.one].label, vl::bench::Median(v), kStartRatioGoal);
  }
  for (const StartRatio& r : kThemeRatios) {
    std::vector<double> creation, fromMain;
    for (std::size_t round = 0; round < samples[r.many].size(); ++round) {
      creation.push_back(samples[r.many][round].fromCreation / samples[r.one][round].fromCreation);
      fromMain.push_back(samples[r.many][round].fromMain / samples[r.one][round].fromMain);
    }
    std::printf("%s against light: x %.2f since process creation, x %.2f since main (goal <= %.2f)\n",
                kKinds[r.many].label, vl::bench::Median(creation), vl::bench::Median(fromMain), kThemeRatioGoal);
  }

  std::printf("\nwhere the start goes: median ms of each phase, from main to the window painted, and the\n"
              "work queued for after it\n");
  std::printf("%-22s", "");
  for (std::size_t k = 1; k < std::size(kKinds); ++k) std::printf(" %12ls", kKinds[k].name);
  std::printf("\n");
  for (std::size_t p = 0; p < samples[1][0].phases.size(); ++p) {
    std::printf("%-22s", samples[1][0].phases[p].first.c_str());
    for (std::size_t k = 1; k < std::size(kKinds); ++k) {
      std::vector<double> v;
      for (const Sample& s : samples[k])
        if (p < s.phases.size()) v.push_back(s.phases[p].second);
      std::printf(" %12.1f", vl::bench::Median(v));
    }
    std::printf("\n");
  }

  std::printf("\nmemory once started: median MB (committed private bytes / working set), and above the bare window\n");
  const double mb = 1024.0 * 1024.0;
  for (std::size_t k = 0; k < std::size(kKinds); ++k) {
    double priv = vl::bench::Median(column(k, &Sample::privateBytes)) / mb;
    double ws = vl::bench::Median(column(k, &Sample::workingSet)) / mb;
    double barePriv = vl::bench::Median(column(0, &Sample::privateBytes)) / mb;
    double bareWs = vl::bench::Median(column(0, &Sample::workingSet)) / mb;
    std::printf("%-34s %8.2f / %8.2f   +%.2f / +%.2f\n", kKinds[k].label, priv, ws, priv - barePriv, ws - bareWs);
  }

  std::printf("\n%s, in one start\n", kVisit.label);
  if (!visit) {
    std::printf("the visit failed\n");
    return 1;
  }
  const std::size_t firstLine = visit->find('\n');
  const double visitPriv = std::strtod(visit->c_str(), nullptr) / mb;
  const double barePriv = vl::bench::Median(column(0, &Sample::privateBytes)) / mb;
  std::printf("%s", visit->substr(firstLine + 1).c_str());
  std::printf("committed private bytes after the visit: %.2f MB against %.2f MB of the bare window (+%.2f)\n",
              visitPriv, barePriv, visitPriv - barePriv);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::int64_t mainStart = Now();
  if (argc == 3 && std::wstring_view(argv[1]) == L"--child") {
    for (const Kind& kind : kKinds)
      if (std::wstring_view(argv[2]) == kind.name) return Child(kind, mainStart);
    if (std::wstring_view(argv[2]) == kVisit.name) return Child(kVisit, mainStart);
    std::fprintf(stderr, "startup_bench: no kind %ls\n", argv[2]);
    return 2;
  }
  int runs = argc >= 2 ? std::wcstol(argv[1], nullptr, 10) : 7;
  if (runs < 1) {
    std::fprintf(stderr, "usage: startup_bench [RUNS]\n");
    return 2;
  }
  return Parent(runs);
}

#include "actions/painting_files.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>

#include "actions/documents.h"
#include "common/notice.h"
#include "document/document.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "state/state.h"

namespace {

constexpr char kExtension[] = ".kelvra";
constexpr std::size_t kExtensionLength = sizeof kExtension - 1;
// An autosave waits this long after the last one: a person painting fast
// is not slowed by a file a second, and a crash loses no more than this.
constexpr std::chrono::seconds kAutosaveEvery(3);

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string DataHome() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/share";
  return "";
}

std::string AutosaveFolder() { return PaintingsFolder() + ".autosave/"; }

// Where this run keeps its autosave: named by when the run started and its
// process, so that runs side by side never share one. Never destroyed: the
// writer's thread may still be writing it while exit destroys statics.
const std::string& ThisRunsAutosave() {
  static const std::string* path = new std::string([] {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    return AutosaveFolder() + stamp + "-" + std::to_string(::getpid()) + kExtension;
  }());
  return *path;
}

// Beside an autosave: the file the painting was opened from or saved to,
// so that a recovered painting is saved there again.
std::string SourceNoteOf(const std::string& autosave) { return autosave + ".source"; }

std::string CurrentFile;

std::int64_t ModifiedTime(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_mtime : -1;
}

// The process an autosave's name gives; 0 when the name has none.
long ProcessOf(const std::string& name) {
  const std::size_t dash = name.rfind('-');
  return dash == std::string::npos ? 0 : std::atol(name.c_str() + dash + 1);
}

// A run still going keeps its autosave to itself. A process that ended
// but was not yet waited for (a zombie) has gone.
bool RunGoesOn(long process) {
  if (process <= 0) return false;
  if (process == ::getpid()) return true;
  std::vector<std::uint8_t> stat;
  if (!ReadWholeFile("/proc/" + std::to_string(process) + "/stat", 1 << 16, &stat).empty())
    return ::kill(static_cast<pid_t>(process), 0) == 0;  // no /proc: ask the kernel
  const std::string text(stat.begin(), stat.end());
  const std::size_t end = text.rfind(')');
  return end != std::string::npos && end + 2 < text.size() && text[end + 2] != 'Z';
}

std::string WhenText(std::int64_t seconds) {
  char text[32];
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&time));
  return text;
}

std::string ReadNote(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path, 1 << 16, &bytes).empty()) return "";
  return std::string(bytes.begin(), bytes.end());
}

std::vector<PaintingEntry> RecoveredPaintings() {
  std::vector<PaintingEntry> entries;
  for (const std::string& name : ListDirectory(AutosaveFolder()).names) {
    if (!EndsWith(name, kExtension) ||
        RunGoesOn(ProcessOf(name.substr(0, name.size() - kExtensionLength))))
      continue;
    PaintingEntry entry;
    entry.path = AutosaveFolder() + name;
    entry.modified = ModifiedTime(entry.path);
    if (entry.modified < 0) continue;
    entry.recovered = true;
    entry.label = "Recovered " + WhenText(entry.modified);
    const std::string source = ReadNote(SourceNoteOf(entry.path));
    if (!source.empty()) entry.label += " (" + source.substr(source.find_last_of('/') + 1) + ")";
    entries.push_back(entry);
  }
  return entries;
}

std::vector<PaintingEntry> FolderPaintings() {
  std::vector<PaintingEntry> entries;
  for (const std::string& name : ListDirectory(PaintingsFolder()).names) {
    if (!EndsWith(name, kExtension) || name.size() == kExtensionLength) continue;
    PaintingEntry entry;
    entry.path = PaintingsFolder() + name;
    entry.modified = ModifiedTime(entry.path);
    if (entry.modified < 0) continue;
    entry.label = name.substr(0, name.size() - kExtensionLength);
    entries.push_back(entry);
  }
  return entries;
}

void NewestFirst(std::vector<PaintingEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const PaintingEntry& a, const PaintingEntry& b) {
                     return a.modified != b.modified ? a.modified > b.modified
                                                     : a.label < b.label;
                   });
}

void Remove(const std::string& autosave) {
  ::unlink(autosave.c_str());
  ::unlink(SourceNoteOf(autosave).c_str());
}

// ---- The autosave writer ---------------------------------------------------------------

struct AutosaveJob {
  PaintingSnapshot snapshot;  // without its thumbnail, made from `frame` by the writer
  MainViewFrame frame;
  std::uint64_t revision = 0;
  std::string source;  // the painting's own file, or ""
};

// One thread writes this run's autosave; the event loop hands it a
// snapshot, which it owns while it writes.
class AutosaveWriter {
 public:
  void Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { Run(); });
  }

  // Writes the job handed last, if any, then ends the thread.
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  bool Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return job_.has_value() || writing_;
  }

  void Hand(AutosaveJob job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = std::move(job);
    }
    wake_.notify_all();
  }

  // The painting was saved at `revision`: an autosave of it or of an older
  // painting is not wanted any more.
  void Saved(std::uint64_t revision) {
    std::lock_guard<std::mutex> lock(mutex_);
    savedRevision_ = revision;
    Remove(ThisRunsAutosave());
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || job_.has_value(); });
      if (!job_) return;
      AutosaveJob job = std::move(*job_);
      job_.reset();
      writing_ = true;
      lock.unlock();
      const std::string problem = Write(job);
      lock.lock();
      writing_ = false;
      // Saved meanwhile: the file just written is not wanted.
      if (job.revision <= savedRevision_) Remove(ThisRunsAutosave());
      if (!problem.empty() && problem != lastProblem_) Notice(problem);
      lastProblem_ = problem;
    }
  }

  static std::string Write(AutosaveJob& job) {
    job.snapshot.thumbnail = std::make_shared<const Bytes>(ThumbnailOf(job.frame));
    const std::string& path = ThisRunsAutosave();
    if (const std::string reason = MakeFoldersOf(path); !reason.empty())
      return "cannot save " + path + ": " + reason;
    std::string error;
    if (!SavePainting(path, job.snapshot, error)) return error;
    const std::string note = SourceNoteOf(path);
    if (job.source.empty()) {
      ::unlink(note.c_str());
    } else if (!WriteFileWhole(note, std::vector<std::uint8_t>(job.source.begin(), job.source.end()),
                               &error, "save")) {
      return error;
    }
    return "";
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
  std::optional<AutosaveJob> job_;
  bool writing_ = false;
  bool stopping_ = false;
  std::uint64_t savedRevision_ = 0;
  std::string lastProblem_;
};

AutosaveWriter& Writer() {
  static AutosaveWriter* writer = new AutosaveWriter();
  return *writer;
}

bool Autosaving = false;
std::uint64_t HandedRevision = 0;  // the keeper's revision the last autosave holds
std::uint64_t SavedRevision = 0;   // the keeper's revision when last saved or opened
std::chrono::steady_clock::time_point LastHanded;

// The painting as it stands is in its file now.
void NoteSaved() {
  SavedRevision = HandedRevision = ThePaintingKeeper().Revision();
  if (Autosaving) Writer().Saved(SavedRevision);
}

bool OpenRecovered(const PaintingEntry& entry) {
  OpenedPainting opened = OpenPainting(entry.path);
  if (!opened.Ok()) {
    Notice(opened.error);
    return false;
  }
  if (!opened.note.empty()) Notice(opened.note);
  const std::string source = ReadNote(SourceNoteOf(entry.path));
  ApplyPainting(std::move(opened.painting));
  // This run takes the recovered painting over: it stays this run's
  // autosave until it is saved, and is saved to its own file again.
  if (entry.path != ThisRunsAutosave() && MakeFoldersOf(ThisRunsAutosave()).empty() &&
      std::rename(entry.path.c_str(), ThisRunsAutosave().c_str()) == 0) {
    const std::string note = SourceNoteOf(entry.path);
    if (source.empty() || std::rename(note.c_str(), SourceNoteOf(ThisRunsAutosave()).c_str()) != 0)
      ::unlink(note.c_str());
  }
  CurrentFile = source;
  SavedRevision = 0;  // never saved: the autosave keeps it
  HandedRevision = ThePaintingKeeper().Revision();
  Notice("recovered " + entry.path);
  return true;
}

}  // namespace

std::string PaintingsFolder() {
  const std::string home = DataHome();
  return home.empty() ? "" : home + "/kelvra/paintings/";
}

const std::string& CurrentPaintingFile() { return CurrentFile; }

std::string PaintingPathForName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      PaintingsFolder().empty())
    return "";
  return PaintingsFolder() + name + (EndsWith(name, kExtension) ? "" : kExtension);
}

bool SavePaintingFile(const std::string& path) {
  if (const std::string reason = MakeFoldersOf(path); !reason.empty()) {
    Notice("cannot save " + path + ": " + reason);
    return false;
  }
  std::string error;
  if (!SavePainting(path, ThePaintingKeeper().Snapshot(true), error)) {
    Notice(error);
    return false;
  }
  CurrentFile = path;
  NoteSaved();
  Notice("saved " + path);
  return true;
}

bool OpenPaintingFile(const std::string& path) {
  OpenedPainting opened = OpenPainting(path);
  if (!opened.Ok()) {
    Notice(opened.error);
    return false;
  }
  if (!opened.note.empty()) Notice(opened.note);
  ApplyPainting(std::move(opened.painting));
  CurrentFile = path;
  NoteSaved();
  Notice("opened " + path);
  return true;
}

std::vector<PaintingEntry> ListPaintings() {
  std::vector<PaintingEntry> recovered = RecoveredPaintings(), saved = FolderPaintings();
  NewestFirst(recovered);
  NewestFirst(saved);
  recovered.insert(recovered.end(), saved.begin(), saved.end());
  return recovered;
}

bool OpenListedPainting(const PaintingEntry& entry) {
  return entry.recovered ? OpenRecovered(entry) : OpenPaintingFile(entry.path);
}

void StartAutosave() {
  if (Autosaving || PaintingsFolder().empty()) return;
  Autosaving = true;
  ThePaintingKeeper();
  HandedRevision = SavedRevision = ThePaintingKeeper().Revision();
  Writer().Start();
  // Ends other than Esc (a window closed) keep the changes too, without a
  // thumbnail: the windows may be gone.
  std::atexit([] { StopAutosave(); });
}

void AutosaveStep() {
  if (!Autosaving) return;
  const std::uint64_t revision = ThePaintingKeeper().Revision();
  if (revision == HandedRevision || AppState().interaction.painting) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - LastHanded < kAutosaveEvery || Writer().Busy()) return;
  Writer().Hand(
      AutosaveJob{ThePaintingKeeper().Snapshot(false), ReadMainViewFrame(), revision, CurrentFile});
  HandedRevision = revision;
  LastHanded = now;
}

void StopAutosave(MainViewFrame frame) {
  if (!Autosaving) return;
  // The changes since the last autosave go too: a painter that quits
  // without saving finds the painting as it left it (a stroke still being
  // painted is not in it yet).
  const std::uint64_t revision = ThePaintingKeeper().Revision();
  if (revision != HandedRevision)
    Writer().Hand(
        AutosaveJob{ThePaintingKeeper().Snapshot(false), std::move(frame), revision, CurrentFile});
  Writer().Stop();
  Autosaving = false;
}

bool OpenRecoveredPainting() {
  const std::vector<PaintingEntry> recovered = [] {
    std::vector<PaintingEntry> entries = RecoveredPaintings();
    NewestFirst(entries);
    return entries;
  }();
  if (recovered.empty()) {
    Notice("there is no painting to recover");
    return false;
  }
  return OpenRecovered(recovered.front());
}

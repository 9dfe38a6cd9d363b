#include "actions/painting_files.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
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

// Runs side by side on one painting each say so: a note beside the file
// names the process that has it open (".harbour.kelvra.lock").
std::string LockNoteOf(const std::string& painting) {
  const std::size_t slash = painting.find_last_of('/') + 1;
  return painting.substr(0, slash) + "." + painting.substr(slash) + ".lock";
}

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

// A name as the person sees it: the file name without its folder.
std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
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
    entry.when = WhenText(entry.modified);
    entry.label = "Recovered " + entry.when;
    const std::string source = ReadNote(SourceNoteOf(entry.path));
    if (!source.empty()) entry.label += " (" + FileNameOf(source) + ")";
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
    entry.when = WhenText(entry.modified);
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

// What this run knows of the file it works on, to tell whether someone
// else wrote it since: its size and time as this run left them, and a
// hash of the bytes this run read or wrote.
struct FileStamp {
  std::int64_t size = -1;  // -1: nothing known (a recovered painting's own file)
  std::int64_t modifiedNs = 0;
  std::uint64_t hash = 0;
};

FileStamp StampOf(const std::string& path, std::uint64_t hash) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return {};
  return {info.st_size, info.st_mtim.tv_sec * 1000000000ll + info.st_mtim.tv_nsec, hash};
}

// The files of this run: the painting it works on, the lock note it wrote
// beside it, and how far the autosave has got.
class FilesOfThisRun {
 public:
  const std::string& Current() const { return current_; }

  // The painting is the file at `path` now, as this run read or wrote it.
  // Returns the caution when another living run has it open too.
  std::string TakeFile(const std::string& path, const FileStamp& stamp) {
    const std::string caution = path == current_ ? "" : OtherRunsNote(path);
    if (path != current_) ReleaseLock();
    current_ = path;
    stamp_ = stamp;
    WriteLock();
    return caution;
  }
  // A recovered painting: its own file, as another run left it.
  void TakeRecovered(const std::string& source) {
    ReleaseLock();
    current_ = source;
    stamp_ = {};
    if (!source.empty()) WriteLock();
  }

  std::string ChangedSince(const std::string& path) const {
    if (path != current_ || stamp_.size < 0) return "";
    const FileStamp now = StampOf(path, stamp_.hash);
    if (now.size < 0) return "";  // gone: writing it loses nothing
    if (now.size == stamp_.size && now.modifiedNs == stamp_.modifiedNs) return "";
    // Touched but the same bytes (a copy back, a backup tool) is no change.
    std::vector<std::uint8_t> bytes;
    if (now.size == stamp_.size && ReadWholeFile(path, now.size, &bytes).empty() &&
        HashOfBytes(bytes) == stamp_.hash)
      return "";
    return FileNameOf(path) + " changed since this run opened or saved it";
  }

  // The lock notes are the interactive painter's: a script run of a few
  // seconds writes none.
  void KeepLocks() { locking_ = true; }
  void ReleaseLock() {
    if (locked_.empty()) return;
    if (ProcessOf(ReadNote(locked_)) == ::getpid()) ::unlink(locked_.c_str());
    locked_.clear();
  }

  bool autosaving = false;
  std::uint64_t handedRevision = 0;  // the keeper's revision the last autosave holds
  std::uint64_t savedRevision = 0;   // the keeper's revision when last saved or opened
  std::chrono::steady_clock::time_point lastHanded;

 private:
  // A note written by a run that goes on and is not this one.
  static std::string OtherRunsNote(const std::string& path) {
    const long process = ProcessOf(ReadNote(LockNoteOf(path)));
    if (process == ::getpid() || !RunGoesOn(process)) return "";
    return FileNameOf(path) + " is open in another Kelvra too (process " +
           std::to_string(process) + "): a save in one loses the other's changes";
  }
  // Best effort: a folder that cannot take the note (read-only, full) only
  // means that another run is not warned.
  void WriteLock() {
    if (!locking_) return;
    const std::string note = LockNoteOf(current_), text = "kelvra-" + std::to_string(::getpid());
    std::string error;
    if (WriteFileWhole(note, std::vector<std::uint8_t>(text.begin(), text.end()), &error))
      locked_ = note;
  }

  std::string current_;
  FileStamp stamp_;
  std::string locked_;
  bool locking_ = false;
};

FilesOfThisRun& Files() {
  static FilesOfThisRun* files = new FilesOfThisRun();  // the autosave's atexit reads it
  return *files;
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


// The painting as it stands is in its file now.
void NoteSaved() {
  FilesOfThisRun& files = Files();
  files.savedRevision = files.handedRevision = ThePaintingKeeper().Revision();
  if (files.autosaving) Writer().Saved(files.savedRevision);
}

FileOutcome Failed(const std::string& line) {
  Notice(line);
  return {false, line};
}

// The outcome of a file taken: told on stderr, with a caution the person
// also sees.
FileOutcome Done(const std::string& line, const std::string& caution) {
  Notice(line);
  if (!caution.empty()) Notice(caution);
  return {true, caution};
}

FileOutcome OpenRecovered(const PaintingEntry& entry) {
  OpenedPainting opened = OpenPainting(entry.path);
  if (!opened.Ok()) return Failed(opened.error);
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
  FilesOfThisRun& files = Files();
  files.TakeRecovered(source);
  files.savedRevision = 0;  // never saved: the autosave keeps it
  files.handedRevision = ThePaintingKeeper().Revision();
  return Done("recovered " + entry.path, "");
}

}  // namespace

std::string DataFolder(const char* name) {
  const std::string home = DataHome();
  return home.empty() ? "" : home + "/kelvra/" + name + "/";
}

std::string PaintingsFolder() { return DataFolder("paintings"); }

std::string ExportsFolder() { return DataFolder("exports"); }

const std::string& CurrentPaintingFile() { return Files().Current(); }

PaintingName PaintingPathOf(const std::string& typed) {
  const std::string name = Trimmed(typed);
  if (name.empty()) return {"", "type a name for the painting into \"Name:\""};
  if (name.find('/') != std::string::npos) return {"", "a name cannot contain '/'"};
  if (name == "." || name == ".." || name == kExtension)
    return {"", "\"" + name + "\" is no name of its own: type another"};
  if (PaintingsFolder().empty()) return {"", "there is no folder for paintings: HOME is not set"};
  return {PaintingsFolder() + name + (EndsWith(name, kExtension) ? "" : kExtension), ""};
}

std::string PaintingPathForName(const std::string& name) { return PaintingPathOf(name).path; }

std::string ChangedSinceThisRun(const std::string& path) { return Files().ChangedSince(path); }

FileOutcome SavePaintingFile(const std::string& path) {
  if (const std::string reason = MakeFoldersOf(path); !reason.empty())
    return Failed("cannot save " + path + ": " + reason);
  // Encoded here rather than by SavePainting: the bytes written are what
  // tells later whether someone else wrote the file since.
  Bytes bytes;
  std::string error;
  if (!EncodePainting(ThePaintingKeeper().Snapshot(true), bytes, error))
    return Failed("cannot save " + path + ": " + error);
  if (!WriteFileWhole(path, bytes, &error, "save")) return Failed(error);
  const std::string caution = Files().TakeFile(path, StampOf(path, HashOfBytes(bytes)));
  NoteSaved();
  return Done("saved " + path, caution);
}

FileOutcome OpenPaintingFile(const std::string& path) {
  OpenedPainting opened = OpenPainting(path);
  if (!opened.Ok()) return Failed(opened.error);
  if (!opened.note.empty()) Notice(opened.note);
  ApplyPainting(std::move(opened.painting));
  RemoveAbandonedTemporaries(FolderOf(path));
  const std::string caution = Files().TakeFile(path, StampOf(path, opened.fileHash));
  NoteSaved();
  return Done("opened " + path, caution);
}

std::vector<PaintingEntry> ListPaintings() {
  std::vector<PaintingEntry> recovered = RecoveredPaintings(), saved = FolderPaintings();
  NewestFirst(recovered);
  NewestFirst(saved);
  recovered.insert(recovered.end(), saved.begin(), saved.end());
  return recovered;
}

FileOutcome OpenListedPainting(const PaintingEntry& entry) {
  return entry.recovered ? OpenRecovered(entry) : OpenPaintingFile(entry.path);
}

FileOutcome DiscardRecoveredPainting(const PaintingEntry& entry) {
  if (!entry.recovered) return Failed("only a recovered painting is discarded here");
  if (::unlink(entry.path.c_str()) != 0 && errno != ENOENT)
    return Failed("cannot discard " + entry.path + ": " + std::strerror(errno));
  ::unlink(SourceNoteOf(entry.path).c_str());
  return Done("discarded " + entry.path, "");
}

void RemoveAbandonedTemporaries() {
  if (PaintingsFolder().empty()) return;
  RemoveAbandonedTemporaries(PaintingsFolder());
  RemoveAbandonedTemporaries(AutosaveFolder());
}

void StartAutosave() {
  FilesOfThisRun& files = Files();
  if (files.autosaving || PaintingsFolder().empty()) return;
  files.autosaving = true;
  files.KeepLocks();
  RemoveAbandonedTemporaries();
  files.handedRevision = files.savedRevision = ThePaintingKeeper().Revision();
  Writer().Start();
  // Ends other than Esc (a window closed) keep the changes too, without a
  // thumbnail: the windows may be gone.
  std::atexit([] { StopAutosave(); });
}

void AutosaveStep() {
  FilesOfThisRun& files = Files();
  if (!files.autosaving) return;
  const std::uint64_t revision = ThePaintingKeeper().Revision();
  if (revision == files.handedRevision || AppState().interaction.painting) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - files.lastHanded < kAutosaveEvery || Writer().Busy()) return;
  Writer().Hand(AutosaveJob{ThePaintingKeeper().Snapshot(false), ReadMainViewFrame(), revision,
                            files.Current()});
  files.handedRevision = revision;
  files.lastHanded = now;
}

void StopAutosave(MainViewFrame frame) {
  FilesOfThisRun& files = Files();
  if (!files.autosaving) return;
  // The changes since the last autosave go too: a painter that quits
  // without saving finds the painting as it left it (a stroke still being
  // painted is not in it yet).
  const std::uint64_t revision = ThePaintingKeeper().Revision();
  if (revision != files.handedRevision)
    Writer().Hand(
        AutosaveJob{ThePaintingKeeper().Snapshot(false), std::move(frame), revision, files.Current()});
  Writer().Stop();
  files.autosaving = false;
  files.ReleaseLock();
  if (revision != files.savedRevision && ModifiedTime(ThisRunsAutosave()) >= 0)
    Notice("the changes not saved are kept in " + ThisRunsAutosave() +
           ": kelvra --recover opens them again");
}

FileOutcome OpenRecoveredPainting() {
  const std::vector<PaintingEntry> recovered = [] {
    std::vector<PaintingEntry> entries = RecoveredPaintings();
    NewestFirst(entries);
    return entries;
  }();
  if (recovered.empty()) return Failed("there is no painting to recover");
  return OpenRecovered(recovered.front());
}

std::string NewExportPath(const std::string& extension) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", std::localtime(&now));
  std::string name = FileNameOf(CurrentPaintingFile());
  if (EndsWith(name, kExtension)) name.resize(name.size() - kExtensionLength);
  // Without a home, exports go where the program was started.
  const std::string stem = (ExportsFolder().empty() ? FromStartFolder("exports") + "/" : ExportsFolder()) +
                           (name.empty() ? "painting" : name) + "-" + stamp;
  std::string path = stem + extension;
  for (int copy = 2; ::access(path.c_str(), F_OK) == 0; ++copy)
    path = stem + "-" + std::to_string(copy) + extension;
  return path;
}

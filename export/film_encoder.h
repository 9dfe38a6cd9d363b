#pragma once
// A film written frame by frame, pure of GL and windows: H.264 in MP4 or
// VP9 in WebM through FFmpeg's libraries (chosen by the file's extension),
// or numbered PNG pictures in a folder (a name ending in '/'). Frames are
// RGBA, rows bottom first, as the GL reads them back.
//
// Whole or not at all: a film goes under a temporary name beside its
// target and is renamed over it once complete; one dropped unfinished
// leaves nothing behind. Every failure names the file and the reason.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using FilmPixels = std::vector<std::uint8_t>;  // width × height × 4 bytes

class FilmOutput {
 public:
  virtual ~FilmOutput() = default;
  // One frame more; false, with `error` set, when it could not be written
  // (the output is of no use after that).
  virtual bool Add(const FilmPixels& rgba, std::string* error) = 0;
  // The film complete under its name; false, with `error` set, when not.
  virtual bool Finish(std::string* error) = 0;
};

// The output for `path` (.mp4, .webm, or a folder name ending in '/') of
// frames of `width` × `height` (even) at `fps`; null, with `error` set,
// when it cannot be made. A folder of frames must be new or empty, and
// only its last level is made: like a file, a film goes into a folder
// that exists.
std::unique_ptr<FilmOutput> OpenFilmOutput(const std::string& path, int width, int height, int fps,
                                           std::string* error);

// Writes frames into an output on a thread of its own, so that whoever
// draws them goes on drawing (the painter's event loop stays free). It
// holds a few frames at most: memory stays the same for a film of any
// length.
class FilmWriter {
 public:
  explicit FilmWriter(std::unique_ptr<FilmOutput> output);
  // Without Finish, the film is abandoned: nothing is left behind.
  ~FilmWriter();
  FilmWriter(const FilmWriter&) = delete;
  FilmWriter& operator=(const FilmWriter&) = delete;

  // True while a frame handed now would not wait.
  bool HasRoom() const;
  // Queues a frame, waiting while the queue is full.
  void Hand(FilmPixels rgba);
  // True once every frame handed is written (or writing failed).
  bool Idle() const;
  // True once writing failed: frames handed from then on are dropped, and
  // Finish says why.
  bool Failed() const;
  // Waits for the frames handed, then completes the film. Returns what
  // went wrong, or an empty text.
  std::string Finish();

 private:
  void Run();

  static constexpr std::size_t kQueued = 3;
  std::unique_ptr<FilmOutput> output_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<FilmPixels> queue_;
  bool writing_ = false;  // a frame is out of the queue, being written
  bool stopping_ = false;
  std::string failure_;
  std::thread thread_;
};

#include "export/film_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "export/png.h"
#include "platform/atomic_file.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string LibraryReason(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// ---- Video through FFmpeg -------------------------------------------------------------

// What each container is written with, and how: speeds that keep up with
// the drawing on a small machine, at a quality where the encoder's loss
// does not show in a painting's fine texture.
struct VideoKind {
  const char* extension;
  const char* container;
  const char* encoder;
  AVCodecID codec;
  const char* options[3][2];
};
const VideoKind kVideoKinds[] = {
    {".mp4", "mp4", "libx264", AV_CODEC_ID_H264, {{"preset", "veryfast"}, {"crf", "18"}, {}}},
    {".webm",
     "webm",
     "libvpx-vp9",
     AV_CODEC_ID_VP9,
     {{"deadline", "realtime"}, {"cpu-used", "8"}, {"crf", "24"}}},
};

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using IoBytes = const std::uint8_t*;
#else
using IoBytes = std::uint8_t*;
#endif

class VideoOutput : public FilmOutput {
 public:
  VideoOutput(const std::string& path, int width, int height)
      : file_(path), width_(width), height_(height) {}

  ~VideoOutput() override {
    sws_freeContext(scale_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    if (format_) avformat_free_context(format_);
    if (io_) av_freep(&io_->buffer);
    avio_context_free(&io_);
  }

  bool Open(const VideoKind& kind, int fps, std::string* error) {
    if (!file_.Open(error)) return false;
    const AVCodec* encoder = avcodec_find_encoder_by_name(kind.encoder);
    if (!encoder) encoder = avcodec_find_encoder(kind.codec);
    if (!encoder)
      return Fail(std::string("this FFmpeg has no ") + kind.encoder + " encoder", error);
    int code = avformat_alloc_output_context2(&format_, nullptr, kind.container, nullptr);
    if (code < 0) return Fail(LibraryReason(code), error);
    constexpr int kIoBuffer = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBuffer));
    io_ = avio_alloc_context(buffer, kIoBuffer, 1, this, nullptr, &VideoOutput::WriteBytes,
                             &VideoOutput::SeekBytes);
    if (!io_) {
      av_free(buffer);
      return Fail(LibraryReason(AVERROR(ENOMEM)), error);
    }
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;

    codec_ = avcodec_alloc_context3(encoder);
    if (!codec_) return Fail(LibraryReason(AVERROR(ENOMEM)), error);
    codec_->width = width_;
    codec_->height = height_;
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->time_base = AVRational{1, fps};
    codec_->framerate = AVRational{fps, 1};
    codec_->gop_size = 2 * fps;  // a place to start playing every two seconds
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    for (const auto& option : kind.options)
      if (option[0]) av_opt_set(codec_->priv_data, option[0], option[1], 0);
    if ((code = avcodec_open2(codec_, encoder, nullptr)) < 0)
      return Fail(LibraryReason(code), error);
    stream_ = avformat_new_stream(format_, nullptr);
    if (!stream_) return Fail(LibraryReason(AVERROR(ENOMEM)), error);
    stream_->time_base = codec_->time_base;
    avcodec_parameters_from_context(stream_->codecpar, codec_);
    if ((code = avformat_write_header(format_, nullptr)) < 0)
      return Fail(LibraryReason(code), error);

    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) return Fail(LibraryReason(AVERROR(ENOMEM)), error);
    frame_->format = AV_PIX_FMT_YUV420P;
    frame_->width = width_;
    frame_->height = height_;
    if ((code = av_frame_get_buffer(frame_, 0)) < 0) return Fail(LibraryReason(code), error);
    scale_ = sws_getContext(width_, height_, AV_PIX_FMT_RGBA, width_, height_, AV_PIX_FMT_YUV420P,
                            SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scale_) return Fail("no conversion from RGBA to YUV 4:2:0", error);
    return true;
  }

  bool Add(const FilmPixels& rgba, std::string* error) override {
    if (rgba.size() != std::size_t(width_) * height_ * 4)
      return Fail("a frame of the wrong size", error);
    int code = av_frame_make_writable(frame_);
    if (code < 0) return Fail(LibraryReason(code), error);
    // Rows come bottom first: start at the last and step backwards.
    const int stride = width_ * 4;
    const std::uint8_t* top = rgba.data() + std::size_t(height_ - 1) * stride;
    const int strides[1] = {-stride};
    sws_scale(scale_, &top, strides, 0, height_, frame_->data, frame_->linesize);
    frame_->pts = frames_++;
    return Send(frame_, error);
  }

  bool Finish(std::string* error) override {
    if (!Send(nullptr, error)) return false;
    const int code = av_write_trailer(format_);
    if (code < 0) return Fail(LibraryReason(code), error);
    avio_flush(io_);
    return file_.Commit(error);
  }

 private:
  // Hands a frame (null: the end) to the encoder and writes what it gives.
  bool Send(AVFrame* frame, std::string* error) {
    int code = avcodec_send_frame(codec_, frame);
    if (code < 0) return Fail(LibraryReason(code), error);
    while ((code = avcodec_receive_packet(codec_, packet_)) >= 0) {
      // Each frame lasts one tick: the container's length counts the last.
      if (packet_->duration == 0) packet_->duration = 1;
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      code = av_interleaved_write_frame(format_, packet_);
      if (code < 0) return Fail(LibraryReason(code), error);
    }
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF) return Fail(LibraryReason(code), error);
    return true;
  }

  bool Fail(const std::string& reason, std::string* error) const {
    if (error) *error = "cannot write " + file_.Path() + ": " + reason;
    return false;
  }

  // A write that fails is kept by the file and told when it is closed.
  static int WriteBytes(void* opaque, IoBytes bytes, int size) {
    static_cast<VideoOutput*>(opaque)->file_.Write(bytes, static_cast<std::size_t>(size));
    return size;
  }
  static std::int64_t SeekBytes(void* opaque, std::int64_t offset, int whence) {
    if (whence & AVSEEK_SIZE) return -1;  // the size is not known ahead: the muxer does without
    const std::int64_t at = static_cast<VideoOutput*>(opaque)->file_.Seek(offset, whence);
    return at < 0 ? AVERROR(EIO) : at;
  }

  AtomicFile file_;
  int width_, height_;
  AVFormatContext* format_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVStream* stream_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scale_ = nullptr;
  std::int64_t frames_ = 0;
};

// ---- Numbered pictures in a folder ----------------------------------------------------

class PictureFolderOutput : public FilmOutput {
 public:
  PictureFolderOutput(std::string folder, int width, int height)
      : folder_(std::move(folder)), width_(width), height_(height) {}
  ~PictureFolderOutput() override {
    std::error_code ignored;
    if (!temporary_.empty()) std::filesystem::remove_all(temporary_, ignored);
  }

  // The pictures go into a temporary folder beside the target, renamed
  // over it at the end (rename takes the place of an empty folder only).
  bool Open(std::string* error) {
    struct stat existing {};
    if (::stat(folder_.c_str(), &existing) == 0) {
      std::error_code problem;
      if (!S_ISDIR(existing.st_mode) || !std::filesystem::is_empty(folder_, problem))
        return Fail("it is not an empty folder: frames go into a new or empty folder", error);
    }
    std::string pattern = FolderOf(folder_) + ".kelvra-XXXXXX";
    if (!::mkdtemp(pattern.data())) return Fail(std::strerror(errno), error);
    temporary_ = pattern;
    return true;
  }

  bool Add(const FilmPixels& rgba, std::string* error) override {
    if (rgba.size() != std::size_t(width_) * height_ * 4)
      return Fail("a frame of the wrong size", error);
    std::vector<std::uint8_t> rgb(std::size_t(width_) * height_ * 3);
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* from = rgba.data() + std::size_t(height_ - 1 - y) * width_ * 4;
      std::uint8_t* to = rgb.data() + std::size_t(y) * width_ * 3;
      for (int x = 0; x < width_; ++x, from += 4, to += 3) std::memcpy(to, from, 3);
    }
    char name[32];
    std::snprintf(name, sizeof name, "/%05d.png", ++frames_);
    // The picture's own failure names the temporary folder: name the target.
    std::string problem;
    if (WritePng8(temporary_ + name, width_, height_, 3, rgb, &problem)) return true;
    const std::size_t reason = problem.rfind(": ");
    return Fail(reason == std::string::npos ? problem : problem.substr(reason + 2), error);
  }

  bool Finish(std::string* error) override {
    if (std::rename(temporary_.c_str(), folder_.c_str()) != 0)
      return Fail(std::strerror(errno), error);
    temporary_.clear();
    return true;
  }

 private:
  bool Fail(const std::string& reason, std::string* error) const {
    if (error) *error = "cannot write " + folder_ + "/: " + reason;
    return false;
  }

  std::string folder_;
  int width_, height_;
  std::string temporary_;
  int frames_ = 0;
};

}  // namespace

std::unique_ptr<FilmOutput> OpenFilmOutput(const std::string& path, int width, int height, int fps,
                                           std::string* error) {
  // The libraries' own chatter (rates, statistics) stays off the console:
  // what went wrong is told in our words, with the file's name.
  av_log_set_level(AV_LOG_ERROR);
  if (EndsWith(path, "/")) {
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    auto output = std::make_unique<PictureFolderOutput>(folder, width, height);
    if (!output->Open(error)) return nullptr;
    return output;
  }
  for (const VideoKind& kind : kVideoKinds) {
    if (!EndsWith(path, kind.extension)) continue;
    auto output = std::make_unique<VideoOutput>(path, width, height);
    if (!output->Open(kind, fps, error)) return nullptr;
    return output;
  }
  if (error)
    *error = "cannot write " + path + ": a film is a .mp4 or .webm file, or a folder (ending in /)";
  return nullptr;
}

// ---- The writing thread ---------------------------------------------------------------

FilmWriter::FilmWriter(std::unique_ptr<FilmOutput> output)
    : output_(std::move(output)), thread_([this] { Run(); }) {}

FilmWriter::~FilmWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool FilmWriter::HasRoom() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size() < kQueued;
}

bool FilmWriter::Failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !failure_.empty();
}

bool FilmWriter::Idle() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return (queue_.empty() && !writing_) || !failure_.empty();
}

void FilmWriter::Hand(FilmPixels rgba) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < kQueued || !failure_.empty(); });
  if (!failure_.empty()) return;  // told by Finish
  queue_.push_back(std::move(rgba));
  changed_.notify_all();
}

std::string FilmWriter::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  if (failure_.empty() && output_) output_->Finish(&failure_);
  output_.reset();
  return failure_;
}

void FilmWriter::Run() {
  for (;;) {
    FilmPixels frame;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
      if (queue_.empty()) return;
      frame = std::move(queue_.front());
      queue_.pop_front();
      writing_ = true;
    }
    changed_.notify_all();
    std::string problem;
    const bool written = output_->Add(frame, &problem);
    std::lock_guard<std::mutex> lock(mutex_);
    writing_ = false;
    if (!written) {
      failure_ = problem;
      queue_.clear();
      stopping_ = true;
    }
    changed_.notify_all();
  }
}

// Our image and mesh code against two established libraries, timed in one
// process on the same input, reported as speed ratios:
//
//   ratio = their time / our time   (≥ 1: we are faster; 0.5: we take twice as long)
//
// - filters: ApplyFilter against cv::filter2D, one thread, same 2048 × 2048
//   24-bit picture, same 3 × 3 kernel (applied as a correlation by both);
// - BMP reading: BmpImage::Load against cv::imread of one 24-bit file;
// - subdivision: Subdivide against OpenMesh's modified butterfly on the
//   triangles of one stroke mesh.
//
// Each case runs several repetitions, interleaved at random with the others
// so that a burst of load on the machine does not land on one side only; the
// ratio is taken from the medians.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <OpenMesh/Core/Mesh/TriMesh_ArrayKernelT.hh>
#include <OpenMesh/Tools/Subdivider/Uniform/ModifiedButterFlyT.hh>
#include <cmath>
#include <cstdio>
#include <map>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <vector>

#include "image/filters.h"
#include "stroke/build.h"
#include "stroke/subdivision.h"
#include "tests/support/height_map.h"

namespace {

constexpr int kSide = 2048;

// The random picture every filter case reads, and its file for the readers.
struct Picture {
  BmpImage image;
  cv::Mat mat;  // the same bytes seen by OpenCV (3 channels, 8 bits each)
  std::string folder;
  std::string path;

  Picture() {
    image.Allocate(kSide, kSide, 24);
    std::mt19937 random(5);
    for (int i = 0; i < kSide * kSide * 3; ++i)
      image.Data()[i] = static_cast<std::uint8_t>(random());
    mat = cv::Mat(kSide, kSide, CV_8UC3, image.Data());
    char pattern[] = "/tmp/kelvra_compare_XXXXXX";
    folder = mkdtemp(pattern);
    path = folder + "/picture.bmp";
    image.Save(path);
  }
  ~Picture() {
    unlink(path.c_str());
    rmdir(folder.c_str());
  }
};

Picture& ThePicture() {
  static Picture picture;
  return picture;
}

// ---- filters ---------------------------------------------------------------

void OurFilter(benchmark::State& state, int n) {
  const BmpImage& source = ThePicture().image;
  BmpImage result;
  for (auto _ : state) benchmark::DoNotOptimize(ApplyFilter(source, result, n));
}

// OpenCV gets the kernel divided by the divisor, so that both compute the
// same weighted sum at the same cost. The results differ in rounding (ours
// truncates the quotient and keeps its low 8 bits, OpenCV rounds and
// saturates) and at the border (ours copies it, OpenCV extends the picture):
// only the speed is compared. The output picture is allocated once, as ours
// keeps its result image between calls.
void OpenCvFilter(benchmark::State& state, int n) {
  const cv::Mat& source = ThePicture().mat;
  cv::Mat kernel(3, 3, CV_32F);
  for (int t = 0; t < 9; ++t)
    kernel.at<float>(t / 3, t % 3) =
        static_cast<float>(FilterTable[n].k[t]) / static_cast<float>(FilterTable[n].divisor);
  cv::Mat result(source.size(), source.type());
  for (auto _ : state) {
    cv::filter2D(source, result, CV_8U, kernel, cv::Point(-1, -1), 0.0, cv::BORDER_REPLICATE);
    benchmark::DoNotOptimize(result.data);
  }
}

// ---- BMP reading -------------------------------------------------------------

// The program reloads the source picture into the image it already has.
void OurLoad(benchmark::State& state) {
  const std::string& path = ThePicture().path;
  BmpImage image;
  for (auto _ : state) benchmark::DoNotOptimize(image.Load(path));
}

// A fresh image per read, as cv::imread returns a fresh matrix each time.
void OurLoadFresh(benchmark::State& state) {
  const std::string& path = ThePicture().path;
  for (auto _ : state) {
    BmpImage image;
    benchmark::DoNotOptimize(image.Load(path));
  }
}

void OpenCvRead(benchmark::State& state) {
  const std::string& path = ThePicture().path;
  for (auto _ : state) {
    cv::Mat image = cv::imread(path, cv::IMREAD_COLOR);
    benchmark::DoNotOptimize(image.data);
  }
}

// ---- subdivision -------------------------------------------------------------

// The base mesh of a 100-node stroke built with the default settings, as a
// painted stroke of that length gets it.
const Mesh& StrokeMesh() {
  static const Mesh mesh = [] {
    Stroke stroke;
    for (int i = 0; i < 100; ++i) {
      const float t = static_cast<float>(i) / 100;
      AddNode(stroke, Vec4(-0.9f + 1.8f * t, 0.5f * std::sin(6.0f * t), 0, 0));
    }
    std::FILE* saved = stdout;
    stdout = std::fopen("/dev/null", "w");
    const StrokeSettings settings;
    RandomGenerator random;
    BuildStroke(stroke, BuildContext{settings, random, HeadlessBuildHooks()});
    std::fclose(stdout);
    stdout = saved;
    return *stroke.subdivision.baseMesh;
  }();
  return mesh;
}

void OurSubdivide(benchmark::State& state, int levels) {
  MeshSubdivision subdivision;
  subdivision.baseMesh = StrokeMesh();
  subdivision.levels = levels;
  for (auto _ : state) {
    Subdivide(subdivision);
    benchmark::DoNotOptimize(subdivision.resultMesh->faceCount);
  }
}

using OpenMeshTriangles = OpenMesh::TriMesh_ArrayKernelT<>;

// OpenMesh is given exactly our triangles: three vertices of their own per
// triangle, no vertex shared, so both sides refine the same surface with the
// same topology (at level 1 every edge is a border edge). Both start from a
// base mesh that stays untouched and produce a refined copy, so the copy is
// timed on both sides. Ours also carries colours and normals through every
// level and computes texture coordinates at the end; OpenMesh moves
// positions only.
OpenMeshTriangles OpenMeshBase() {
  const Mesh& mesh = StrokeMesh();
  OpenMeshTriangles result;
  for (int f = 0; f < mesh.faceCount; ++f) {
    OpenMeshTriangles::VertexHandle corners[3];
    for (int k = 0; k < 3; ++k) {
      const Vec4& p = mesh.positions[mesh.faces[f].vertex[k]];
      corners[k] = result.add_vertex(OpenMeshTriangles::Point(p.x, p.y, p.z));
    }
    result.add_face(corners[0], corners[1], corners[2]);
  }
  return result;
}

void OpenMeshSubdivide(benchmark::State& state, int levels) {
  const OpenMeshTriangles base = OpenMeshBase();
  OpenMesh::Subdivider::Uniform::ModifiedButterflyT<OpenMeshTriangles> butterfly;
  for (auto _ : state) {
    OpenMeshTriangles mesh = base;
    butterfly(mesh, static_cast<std::size_t>(levels));
    benchmark::DoNotOptimize(mesh.n_faces());
  }
}

// ---- ratios ------------------------------------------------------------------

// Keeps the median times of every case (or, when it ran only once, its one
// time), then prints one table of ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double cpu = 0, real = 0;
  };

  // Colours only on a terminal, so that a saved run reads as plain text.
  RatioReporter() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if ((run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") ||
          (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
        medians_[run.run_name.function_name] = {run.GetAdjustedCPUTime(),
                                                run.GetAdjustedRealTime()};
    }
  }

  // Zero times when the case did not run (filtered out).
  Times Median(const std::string& name) const {
    const auto found = medians_.find(name);
    return found == medians_.end() ? Times() : found->second;
  }

 private:
  std::map<std::string, Times> medians_;
};

struct Pair {
  std::string label, ours, theirs;
};

// The ratio is taken from processor time, which the other programs on a
// shared machine disturb less than wall-clock time (a process waiting for
// a processor is not charged); the wall-clock ratio is printed beside it.
void PrintRatios(const RatioReporter& reporter, const std::vector<Pair>& pairs) {
  std::printf(
      "\nSpeed ratio = their median time / our median time (>= 1: ours is faster)\n"
      "times are processor time per call; 'wall' is the same ratio of wall-clock medians\n");
  std::printf("%-34s %10s %10s %7s %7s\n", "case", "ours ms", "theirs ms", "ratio", "wall");
  for (const Pair& pair : pairs) {
    const RatioReporter::Times ours = reporter.Median(pair.ours);
    const RatioReporter::Times theirs = reporter.Median(pair.theirs);
    if (ours.cpu <= 0 || theirs.cpu <= 0 || ours.real <= 0) continue;
    std::printf("%-34s %10.3f %10.3f %7.2f %7.2f\n", pair.label.c_str(), ours.cpu, theirs.cpu,
                theirs.cpu / ours.cpu, theirs.real / ours.real);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Defaults that suit a shared, noisy machine; flags given on the command
  // line come later and win.
  std::vector<char*> args{argv[0]};
  char repetitions[] = "--benchmark_repetitions=7";
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  char aggregates[] = "--benchmark_report_aggregates_only=true";
  char minTime[] = "--benchmark_min_time=0.2";
  args.insert(args.end(), {repetitions, interleave, aggregates, minTime});
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  cv::setNumThreads(1);
  std::vector<Pair> pairs;
  for (int n = 0; n < kFilterCount; ++n) {
    const std::string name = std::string("filter/") + FilterName(n);
    benchmark::RegisterBenchmark((name + "/ours").c_str(), OurFilter, n)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/opencv").c_str(), OpenCvFilter, n)
        ->Unit(benchmark::kMillisecond);
    pairs.push_back({name + " vs filter2D", name + "/ours", name + "/opencv"});
  }
  benchmark::RegisterBenchmark("bmp/ours", OurLoad)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bmp/ours_fresh_image", OurLoadFresh)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("bmp/opencv", OpenCvRead)->Unit(benchmark::kMillisecond);
  pairs.push_back({"BmpImage::Load vs imread", "bmp/ours", "bmp/opencv"});
  pairs.push_back({"  (fresh image per read)", "bmp/ours_fresh_image", "bmp/opencv"});
  for (int levels = 1; levels <= 3; ++levels) {
    const std::string name = "subdivide/level" + std::to_string(levels);
    benchmark::RegisterBenchmark((name + "/ours").c_str(), OurSubdivide, levels)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/openmesh").c_str(), OpenMeshSubdivide, levels)
        ->Unit(benchmark::kMillisecond);
    pairs.push_back({name + " vs butterfly", name + "/ours", name + "/openmesh"});
  }

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter, pairs);
  benchmark::Shutdown();
  return 0;
}

#include "document/stroke_record.h"

#include "document/byte_stream.h"
#include "document/manifest.h"
#include "stroke/mesh.h"

// Record layout (docs/painting-format.md): flags; then render type, shape resolution, size
// resolution, subdivision levels, sprite texture, the four size ends, the four bounds corners, then
// five counted arrays: profile, start colours, end colours, nodes, path, and the particles
// (centres, colours, sizes under one count); from format 1.1 on, the pressure of every node and
// then of every path sample, as many as those two arrays hold.

namespace {

constexpr std::uint32_t kDeleted = 1u << 0;
constexpr std::uint32_t kHasMesh = 1u << 1;  // BuildMesh has run: opening runs it again
constexpr std::uint32_t kKnownFlags = kDeleted | kHasMesh;

constexpr std::size_t kVecBytes = 16;
constexpr std::size_t kNodeBytes = 3 * kVecBytes + 5 * 4;
constexpr std::size_t kParticleBytes = 2 * kVecBytes + 4;

void WriteNodes(ByteWriter& out, const std::vector<StrokeNode>& nodes) {
  out.U32(static_cast<std::uint32_t>(nodes.size()));
  for (const StrokeNode& node : nodes) {
    out.Vec(node.position);
    out.Vec(node.tangent);
    out.Vec(node.perpendicular);
    out.F32(node.height);
    out.F32(node.width);
    out.F32(node.baseHeight);
    out.F32(node.baseWidth);
    out.U32(node.locked);
  }
}

void WriteVecs(ByteWriter& out, const std::vector<Vec4>& values) {
  out.U32(static_cast<std::uint32_t>(values.size()));
  for (const Vec4& v : values) out.Vec(v);
}

void WriteParticles(ByteWriter& out, const ParticleSystem& particles) {
  out.U32(static_cast<std::uint32_t>(particles.positions.size()));
  for (const Vec4& v : particles.positions) out.Vec(v);
  for (const Vec4& v : particles.colours) out.Vec(v);
  out.Floats(particles.sizes.data(), particles.sizes.size());
}

void WriteContent(ByteWriter& out, const Stroke& stroke) {
  out.I32(stroke.renderType);
  out.I32(stroke.shapeResolution);
  out.I32(stroke.size.resolution);
  out.I32(stroke.subdivision.levels);
  out.U32(stroke.particles.spriteTexture);
  out.F32(stroke.size.widthStart);
  out.F32(stroke.size.widthEnd);
  out.F32(stroke.size.heightStart);
  out.F32(stroke.size.heightEnd);
  for (const Vec4& corner : stroke.bounds) out.Vec(corner);
  out.U32(static_cast<std::uint32_t>(stroke.profile.size()));
  out.Floats(stroke.profile.data(), stroke.profile.size());
  WriteVecs(out, stroke.size.startColours);
  WriteVecs(out, stroke.size.endColours);
  WriteNodes(out, stroke.nodes);
  WriteNodes(out, stroke.path);
  WriteParticles(out, stroke.particles);
  for (const auto* nodes : {&stroke.nodes, &stroke.path})
    for (const StrokeNode& node : *nodes) out.F32(node.pressure);
}

}  // namespace

std::shared_ptr<const EncodedStroke> EncodeStroke(const Stroke& stroke) {
  auto encoded = std::make_shared<EncodedStroke>();
  ByteWriter out(encoded->bytes);
  std::uint32_t flags = stroke.deleted ? kDeleted : 0u;
  if (stroke.subdivision.baseMesh) flags |= kHasMesh;
  encoded->bytes.reserve(128 + 4 * stroke.profile.size() +
                         (kNodeBytes + 4) * (stroke.nodes.size() + stroke.path.size()) +
                         kParticleBytes * stroke.particles.sizes.size());
  out.U32(flags);
  WriteContent(out, stroke);
  encoded->finite = out.Finite();
  return encoded;
}

namespace {

// Reads one record's content, checking every count against its cap and
// against the bytes left before making room for it.
class RecordReader {
 public:
  RecordReader(ByteReader& in, const DocumentLimits& limits, std::string& error)
      : in_(in), limits_(limits), error_(error) {}

  bool Content(Stroke& stroke);
  // Format 1.1's pressures, after the content.
  bool Pressures(Stroke& stroke);

 private:
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = what;
    return false;
  }
  // A count read from the record, within `cap`, with `itemBytes` bytes per
  // item there to read.
  bool Count(const char* what, std::uint64_t cap, std::size_t itemBytes, std::uint32_t& count);
  bool Nodes(const char* what, std::uint64_t cap, std::vector<StrokeNode>& nodes);
  bool Vecs(const char* what, std::vector<Vec4>& values);
  bool Particles(ParticleSystem& particles);
  bool Header(Stroke& stroke);

  ByteReader& in_;
  const DocumentLimits& limits_;
  std::string& error_;
};

bool RecordReader::Count(const char* what, std::uint64_t cap, std::size_t itemBytes,
                         std::uint32_t& count) {
  count = in_.U32();
  if (in_.Failed()) return Fail(std::string("record ends before its ") + what);
  if (count > cap)
    return Fail(std::string(what) + " counts " + std::to_string(count) + ", more than " +
                std::to_string(cap));
  if (!in_.Holds(count, itemBytes))
    return Fail(std::string(what) + " counts " + std::to_string(count) +
                " but the record ends before them");
  return true;
}

bool RecordReader::Nodes(const char* what, std::uint64_t cap, std::vector<StrokeNode>& nodes) {
  std::uint32_t count = 0;
  if (!Count(what, cap, kNodeBytes, count)) return false;
  nodes.resize(count);
  for (StrokeNode& node : nodes) {
    node.position = in_.Vec();
    node.tangent = in_.Vec();
    node.perpendicular = in_.Vec();
    node.height = in_.F32();
    node.width = in_.F32();
    node.baseHeight = in_.F32();
    node.baseWidth = in_.F32();
    node.locked = in_.U32();
  }
  return true;
}

bool RecordReader::Vecs(const char* what, std::vector<Vec4>& values) {
  std::uint32_t count = 0;
  if (!Count(what, static_cast<std::uint64_t>(limits_.shapeResolution), kVecBytes, count))
    return false;
  values.resize(count);
  for (Vec4& v : values) v = in_.Vec();
  return true;
}

bool RecordReader::Particles(ParticleSystem& particles) {
  std::uint32_t count = 0;
  if (!Count("particles", limits_.particlesPerStroke, kParticleBytes, count)) return false;
  particles.positions.resize(count);
  particles.colours.resize(count);
  particles.sizes.resize(count);
  for (Vec4& v : particles.positions) v = in_.Vec();
  for (Vec4& v : particles.colours) v = in_.Vec();
  in_.Floats(particles.sizes.data(), count);
  return true;
}

bool RecordReader::Header(Stroke& stroke) {
  stroke.renderType = in_.I32();
  stroke.shapeResolution = in_.I32();
  stroke.size.resolution = in_.I32();
  stroke.subdivision.levels = in_.I32();
  stroke.particles.spriteTexture = in_.U32();
  stroke.size.widthStart = in_.F32();
  stroke.size.widthEnd = in_.F32();
  stroke.size.heightStart = in_.F32();
  stroke.size.heightEnd = in_.F32();
  for (Vec4& corner : stroke.bounds) corner = in_.Vec();
  if (in_.Failed()) return Fail("record ends inside its header");
  if (stroke.renderType < kRenderNothing || stroke.renderType > kRenderParticles)
    return Fail("render type " + std::to_string(stroke.renderType) + ", not 0, 1 or 2");
  for (const int resolution : {stroke.shapeResolution, stroke.size.resolution})
    if (resolution < 0 || resolution > limits_.shapeResolution)
      return Fail("shape resolution " + std::to_string(resolution) + ", not 0 to " +
                  std::to_string(limits_.shapeResolution));
  if (stroke.subdivision.levels < 0 || stroke.subdivision.levels > limits_.subdivisionLevels)
    return Fail(std::to_string(stroke.subdivision.levels) + " subdivision levels, not 0 to " +
                std::to_string(limits_.subdivisionLevels));
  return true;
}

bool RecordReader::Content(Stroke& stroke) {
  if (!Header(stroke)) return false;
  std::uint32_t samples = 0;
  if (!Count("profile", static_cast<std::uint64_t>(limits_.shapeResolution), sizeof(float),
             samples))
    return false;
  stroke.profile.resize(samples);
  in_.Floats(stroke.profile.data(), samples);
  if (!Vecs("start colours", stroke.size.startColours) ||
      !Vecs("end colours", stroke.size.endColours) ||
      !Nodes("nodes", limits_.nodesPerStroke, stroke.nodes) ||
      !Nodes("path", limits_.pathSamplesPerStroke, stroke.path) || !Particles(stroke.particles))
    return false;
  // The mesh reads S entries of each of the three arrays: a build always
  // makes them S long, and a record that says otherwise is not one of ours.
  const std::size_t s = static_cast<std::size_t>(stroke.shapeResolution);
  if (stroke.profile.size() != s || stroke.size.startColours.size() != s ||
      stroke.size.endColours.size() != s)
    return Fail("shape resolution " + std::to_string(s) + " but " +
                std::to_string(stroke.profile.size()) + " profile samples and " +
                std::to_string(stroke.size.startColours.size()) + " and " +
                std::to_string(stroke.size.endColours.size()) + " colours");
  return true;
}

bool RecordReader::Pressures(Stroke& stroke) {
  for (auto* nodes : {&stroke.nodes, &stroke.path}) {
    if (!in_.Holds(nodes->size(), 4)) return Fail("record ends before its pressures");
    for (StrokeNode& node : *nodes) {
      node.pressure = in_.F32();
      // NaN fails both tests and is refused here too.
      if (!(node.pressure >= 0.0f && node.pressure <= 1.0f))
        return Fail("a pressure of " + std::to_string(node.pressure) + ", not 0 to 1");
    }
  }
  return true;
}

}  // namespace

bool DecodeStroke(const std::uint8_t* data, std::size_t size, int formatMinor,
                  const DocumentLimits& limits, Stroke& stroke, std::string& error) {
  ByteReader in(data, size);
  const std::uint32_t flags = in.U32();
  if (in.Failed()) {
    error = "record is empty";
    return false;
  }
  // Flags a newer minor format added would change how the stroke reads;
  // unknown ones are refused rather than guessed at.
  if (flags & ~kKnownFlags) {
    error = "unknown flags " + std::to_string(flags);
    return false;
  }
  stroke.deleted = (flags & kDeleted) ? 1 : 0;
  // A deleted stroke's record may be its flags alone: an empty stroke.
  if (!stroke.deleted || in.Left() > 0) {
    RecordReader reader(in, limits, error);
    if (!reader.Content(stroke)) return false;
    // A 1.0 record has no pressures: its nodes keep pressure 1, as they were painted.
    if (formatMinor >= 1 && !reader.Pressures(stroke)) return false;
    if (flags & kHasMesh) stroke.subdivision.baseMesh.emplace();
  }
  if (!in.Finite()) {
    error = "a number that is not finite (NaN or infinite)";
    return false;
  }
  if (in.Left() > 0 && formatMinor <= kFormatMinor) {
    error = std::to_string(in.Left()) + " bytes past the record's end";
    return false;
  }
  return true;
}

std::uint64_t MeshBytes(const Stroke& stroke) {
  if (!stroke.subdivision.baseMesh) return 0;
  const std::uint64_t n = stroke.path.size();
  const std::uint64_t s = static_cast<std::uint64_t>(stroke.shapeResolution);
  if (n < 2 || s < 2) return 0;
  constexpr std::uint64_t kVertexBytes = 4 * sizeof(Vec4);  // position, normal, colour, tex
  // Two triangles per cell, three vertices of their own each; L levels
  // turn every base triangle into 4^L faces over (2^L + 1)(2^L + 2) / 2
  // vertices. Counts stay below 2^60: n < 2^32, s <= 2^13, L <= 5.
  const std::uint64_t baseFaces = 2 * (n - 1) * (s - 1);
  const std::uint64_t base = baseFaces * (3 * kVertexBytes + sizeof(MeshFace));
  const int levels = stroke.subdivision.levels;
  if (levels == 0) return base;
  const std::uint64_t side = (1u << levels) + 1;
  const std::uint64_t vertices = baseFaces * side * (side + 1) / 2;
  const std::uint64_t faces = baseFaces << (2 * levels);
  return base + vertices * kVertexBytes + faces * sizeof(MeshFace);
}

void RebuildStroke(Stroke& stroke) {
  if (stroke.subdivision.baseMesh)
    BuildMesh(stroke, stroke.subdivision.levels);
  else
    KeepReach(stroke);  // its particles, path and outline
}

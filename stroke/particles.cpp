#include "stroke/particles.h"

#include <cstdio>

#include "common/progress.h"

void AddParticle(ParticleSystem& particles, Vec4 centre, Vec4 colour, float size) {
  particles.positions.push_back(centre);
  particles.colours.push_back(colour);
  particles.sizes.push_back(size);
}

namespace {

// The compile's console report: the count, then one progress value per
// particle, counted before it is drawn (so never 100.00), no line end.
void ReportCompile(std::size_t count) {
  std::printf("\t#particles: %zu\n", count);
  std::fflush(stdout);
  for (std::size_t i = 0; i < count; ++i)
    ReportProgress(static_cast<float>(i), static_cast<float>(count));
}

}  // namespace

void GenerateParticles(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random,
                       const BuildHooks& hooks) {
  if (!settings.showParticles) return;
  ParticleSystem& particles = stroke.particles;
  particles.positions.clear();
  particles.colours.clear();
  particles.sizes.clear();
  // The SHAPE step of the same build has given the colour alpha 1.
  Vec4 colour = settings.startColour;
  colour.w = 1.0f;
  const float count = static_cast<float>(stroke.path.size());
  for (float i = 0.0f; i < count; i += 1.0f) {
    const StrokeNode& point = stroke.path[static_cast<int>(i)];
    for (int p = 0; p < PARTICLES_PER_POINT; ++p) {
      const float a = PARTICLE_SCATTER * point.position.x;
      const float x = point.position.x + (2.0f * random.Unit() - 1.0f) * a;
      const float b = PARTICLE_SCATTER * point.position.y;
      const float y = point.position.y + (2.0f * random.Unit() - 1.0f) * b;
      const float w = point.width;
      const float size = w + (2.0f * random.Unit() - 1.0f) * 0.5f * w;
      AddParticle(particles, Vec4(x, y, 0.0f, 0.0f), colour, size);
    }
  }
  std::printf("\tBuilding Particles...\n");
  std::fflush(stdout);
  ReportCompile(particles.positions.size());
  if (hooks.compileParticles) hooks.compileParticles(particles);
}

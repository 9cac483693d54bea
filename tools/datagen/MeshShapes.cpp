#include "MeshShapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace quarn::tools {

namespace {
using Corner = MeshPart::Corner;
constexpr double kTau = 2.0 * std::numbers::pi;

// The normal of a polygon by Newell's sum: sound for quads that fold or lose a corner.
Vec3 PolygonNormal(const MeshPart& part, const std::vector<Corner>& corners) {
  Vec3 n;
  for (size_t i = 0; i < corners.size(); ++i) {
    const Vec3& a = part.Positions()[corners[i].position];
    const Vec3& b = part.Positions()[corners[(i + 1) % corners.size()].position];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

// A convex polygon as a fan, wound so that its front faces `outward` (Newell's sum points
// where Cross(b - a, c - a) does).
void AddFace(MeshPart* part, std::vector<Corner> corners, const Vec3& outward) {
  if (Dot(PolygonNormal(*part, corners), outward) < 0)
    std::reverse(corners.begin(), corners.end());
  for (size_t i = 1; i + 1 < corners.size(); ++i)
    part->AddTriangle(corners[0], corners[i], corners[i + 1]);
}

double Cross2(double ax, double ay, double bx, double by) {
  return ax * by - ay * bx;
}

// Twice the signed area of a polygon of (a, b) points.
double SignedArea(const std::vector<std::pair<double, double>>& points) {
  double sum = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const auto& p = points[i];
    const auto& q = points[(i + 1) % points.size()];
    sum += Cross2(p.first, p.second, q.first, q.second);
  }
  return sum;
}

bool InTriangle(const std::pair<double, double>& p, const std::pair<double, double>& a,
                const std::pair<double, double>& b, const std::pair<double, double>& c) {
  const double d1 =
      Cross2(b.first - a.first, b.second - a.second, p.first - a.first, p.second - a.second);
  const double d2 =
      Cross2(c.first - b.first, c.second - b.second, p.first - b.first, p.second - b.second);
  const double d3 =
      Cross2(a.first - c.first, a.second - c.second, p.first - c.first, p.second - c.second);
  return d1 >= 0 && d2 >= 0 && d3 >= 0;
}

// Ear clipping of a simple polygon given counter-clockwise; triangles as index triples.
std::vector<std::array<size_t, 3>> Triangulate(const std::vector<std::pair<double, double>>& pts) {
  std::vector<std::array<size_t, 3>> out;
  std::vector<size_t> left(pts.size());
  for (size_t i = 0; i < left.size(); ++i)
    left[i] = i;
  size_t guard = 0;
  while (left.size() > 3 && guard < 4 * pts.size() * pts.size()) {
    ++guard;
    bool clipped = false;
    for (size_t i = 0; i < left.size(); ++i) {
      const size_t ia = left[(i + left.size() - 1) % left.size()];
      const size_t ib = left[i];
      const size_t ic = left[(i + 1) % left.size()];
      const auto &a = pts[ia], &b = pts[ib], &c = pts[ic];
      if (Cross2(b.first - a.first, b.second - a.second, c.first - b.first, c.second - b.second) <=
          0)
        continue;  // a reflex or straight corner is no ear
      bool empty = true;
      for (size_t j : left) {
        if (j != ia && j != ib && j != ic && InTriangle(pts[j], a, b, c)) {
          empty = false;
          break;
        }
      }
      if (!empty)
        continue;
      out.push_back({ia, ib, ic});
      left.erase(left.begin() + static_cast<long>(i));
      clipped = true;
      break;
    }
    if (!clipped)
      break;  // not simple: what is left stays open rather than loop for ever
  }
  if (left.size() == 3)
    out.push_back({left[0], left[1], left[2]});
  return out;
}
}  // namespace

MeshPart MeshShapes::Box(double w, double h, double d) {
  return Frustum(w, h, d, w, h, 0, 0);
}

MeshPart MeshShapes::Frustum(double w, double h, double d, double fw, double fh, double dx,
                             double dy) {
  MeshPart part;
  // Corners 0-3 at the back (-z), 4-7 at the front: (-x -y), (+x -y), (+x +y), (-x +y).
  const double sx[4] = {-1, 1, 1, -1};
  const double sy[4] = {-1, -1, 1, 1};
  uint32_t b[4], f[4];
  for (int i = 0; i < 4; ++i)
    b[i] = part.AddPosition({sx[i] * w / 2, sy[i] * h / 2, -d / 2});
  for (int i = 0; i < 4; ++i)
    f[i] = part.AddPosition({dx + sx[i] * fw / 2, dy + sy[i] * fh / 2, d / 2});
  // Each face from its top-left corner as seen from outside, clockwise.
  const auto face = [&](uint32_t p0, uint32_t p1, uint32_t p2, uint32_t p3) {
    part.AddQuad({p0, 0, 0}, {p1, 1, 0}, {p2, 1, 1}, {p3, 0, 1});
  };
  face(b[3], b[2], b[1], b[0]);  // back
  face(f[2], f[3], f[0], f[1]);  // front
  face(b[2], f[2], f[1], b[1]);  // right
  face(f[3], b[3], b[0], f[0]);  // left
  face(f[3], f[2], b[2], b[3]);  // top
  face(f[1], f[0], b[0], b[1]);  // bottom
  return part;
}

MeshPart MeshShapes::Wedge(double w, double h, double d) {
  MeshPart part;
  const double x[3] = {-w / 2, w / 2, 0};
  const double y[3] = {-h / 2, -h / 2, h / 2};
  uint32_t b[3], f[3];
  for (int i = 0; i < 3; ++i)
    b[i] = part.AddPosition({x[i], y[i], -d / 2});
  for (int i = 0; i < 3; ++i)
    f[i] = part.AddPosition({x[i], y[i], d / 2});
  AddFace(&part, {{b[2], 0.5, 0}, {b[1], 1, 1}, {b[0], 0, 1}}, {0, 0, -1});
  AddFace(&part, {{f[2], 0.5, 0}, {f[0], 1, 1}, {f[1], 0, 1}}, {0, 0, 1});
  AddFace(&part, {{b[2], 0, 0}, {f[2], 1, 0}, {f[1], 1, 1}, {b[1], 0, 1}}, {h, w / 2, 0});
  AddFace(&part, {{f[2], 0, 0}, {b[2], 1, 0}, {b[0], 1, 1}, {f[0], 0, 1}}, {-h, w / 2, 0});
  AddFace(&part, {{f[1], 0, 0}, {f[0], 1, 0}, {b[0], 1, 1}, {b[1], 0, 1}}, {0, -1, 0});
  return part;
}

MeshPart MeshShapes::Lathe(const std::vector<std::pair<double, double>>& given, int segments) {
  MeshPart part;
  segments = std::max(segments, 3);
  std::vector<std::pair<double, double>> profile = given;
  // Closed through the axis, a profile read from tail to nose runs clockwise in (z, r).
  std::vector<std::pair<double, double>> loop = profile;
  if (!loop.empty()) {
    loop.insert(loop.begin(), {loop.front().first, 0});
    loop.push_back({loop.back().first, 0});
  }
  if (SignedArea(loop) > 0)
    std::reverse(profile.begin(), profile.end());
  if (profile.size() < 2)
    return part;
  if (profile.front().second > 0)
    profile.insert(profile.begin(), {profile.front().first, 0});
  if (profile.back().second > 0)
    profile.push_back({profile.back().first, 0});

  std::vector<double> along{0};
  for (size_t i = 1; i < profile.size(); ++i) {
    along.push_back(along.back() + std::hypot(profile[i].first - profile[i - 1].first,
                                              profile[i].second - profile[i - 1].second));
  }
  const double total = along.back() > 0 ? along.back() : 1;
  // One position per ring point; a point on the axis is a single pole.
  std::vector<std::vector<uint32_t>> rings;
  for (const auto& [z, r] : profile) {
    std::vector<uint32_t> ring;
    if (r <= 0) {
      ring.assign(segments, part.AddPosition({0, 0, z}));
    } else {
      for (int k = 0; k < segments; ++k) {
        const double a = kTau * k / segments;
        ring.push_back(part.AddPosition({r * std::cos(a), r * std::sin(a), z}));
      }
    }
    rings.push_back(ring);
  }
  for (size_t i = 0; i + 1 < profile.size(); ++i) {
    const double dz = profile[i + 1].first - profile[i].first;
    const double dr = profile[i + 1].second - profile[i].second;
    if (dz == 0 && dr == 0)
      continue;
    const double v0 = along[i] / total, v1 = along[i + 1] / total;
    for (int k = 0; k < segments; ++k) {
      const int k1 = (k + 1) % segments;
      const double u0 = double(k) / segments, u1 = double(k + 1) / segments;
      const double mid = kTau * (k + 0.5) / segments;
      // Outward in the (z, r) plane is the travel direction turned a right angle, (-dr, dz).
      const Vec3 outward{dz * std::cos(mid), dz * std::sin(mid), -dr};
      if (profile[i].second <= 0) {
        AddFace(&part,
                {{rings[i][k], (u0 + u1) / 2, v0},
                 {rings[i + 1][k], u0, v1},
                 {rings[i + 1][k1], u1, v1}},
                outward);
      } else if (profile[i + 1].second <= 0) {
        AddFace(
            &part,
            {{rings[i][k], u0, v0}, {rings[i][k1], u1, v0}, {rings[i + 1][k], (u0 + u1) / 2, v1}},
            outward);
      } else {
        AddFace(&part,
                {{rings[i][k], u0, v0},
                 {rings[i][k1], u1, v0},
                 {rings[i + 1][k1], u1, v1},
                 {rings[i + 1][k], u0, v1}},
                outward);
      }
    }
  }
  return part;
}

MeshPart MeshShapes::Cylinder(double radius, double length, int segments) {
  return Lathe({{-length / 2, radius}, {length / 2, radius}}, segments);
}

MeshPart MeshShapes::Cone(double radius, double length, int segments) {
  return Lathe({{-length / 2, radius}, {length / 2, 0}}, segments);
}

MeshPart MeshShapes::Sphere(double rx, double ry, double rz, int segments, int rings) {
  rings = std::max(rings, 2);
  std::vector<std::pair<double, double>> profile;
  for (int i = 0; i <= rings; ++i) {
    const double t = std::numbers::pi * i / rings;
    profile.push_back({-std::cos(t), i == 0 || i == rings ? 0.0 : std::sin(t)});
  }
  MeshPart part = Lathe(profile, segments);
  part.Place(Placement::Scale({rx, ry, rz}));
  return part;
}

MeshPart MeshShapes::Extrude(const std::vector<std::pair<double, double>>& given,
                             double thickness) {
  MeshPart part;
  std::vector<std::pair<double, double>> outline = given;
  if (outline.size() < 3)
    return part;
  if (SignedArea(outline) < 0)
    std::reverse(outline.begin(), outline.end());
  double minX = 1e300, maxX = -1e300, minZ = 1e300, maxZ = -1e300;
  for (const auto& [x, z] : outline) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minZ = std::min(minZ, z);
    maxZ = std::max(maxZ, z);
  }
  const double spanX = maxX > minX ? maxX - minX : 1;
  const double spanZ = maxZ > minZ ? maxZ - minZ : 1;
  const size_t n = outline.size();
  std::vector<uint32_t> top(n), bottom(n);
  for (size_t i = 0; i < n; ++i) {
    top[i] = part.AddPosition({outline[i].first, thickness / 2, outline[i].second});
    bottom[i] = part.AddPosition({outline[i].first, -thickness / 2, outline[i].second});
  }
  const auto planU = [&](size_t i) { return (outline[i].first - minX) / spanX; };
  const auto planV = [&](size_t i) { return (maxZ - outline[i].second) / spanZ; };
  for (const auto& t : Triangulate(outline)) {
    AddFace(&part,
            {{top[t[0]], planU(t[0]), planV(t[0])},
             {top[t[1]], planU(t[1]), planV(t[1])},
             {top[t[2]], planU(t[2]), planV(t[2])}},
            {0, 1, 0});
    AddFace(&part,
            {{bottom[t[0]], planU(t[0]), planV(t[0])},
             {bottom[t[1]], planU(t[1]), planV(t[1])},
             {bottom[t[2]], planU(t[2]), planV(t[2])}},
            {0, -1, 0});
  }
  double perimeter = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    perimeter +=
        std::hypot(outline[j].first - outline[i].first, outline[j].second - outline[i].second);
  }
  double along = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const double dx = outline[j].first - outline[i].first;
    const double dz = outline[j].second - outline[i].second;
    const double length = std::hypot(dx, dz);
    if (length == 0)
      continue;
    const double u0 = along / perimeter, u1 = (along + length) / perimeter;
    along += length;
    // Counter-clockwise in (x, z): the outside of an edge is to its right.
    AddFace(&part, {{top[i], u0, 0}, {top[j], u1, 0}, {bottom[j], u1, 1}, {bottom[i], u0, 1}},
            {dz, 0, -dx});
  }
  return part;
}

MeshPart MeshShapes::Quad(double w, double h) {
  MeshPart part;
  const uint32_t tl = part.AddPosition({-w / 2, h / 2, 0});
  const uint32_t tr = part.AddPosition({w / 2, h / 2, 0});
  const uint32_t br = part.AddPosition({w / 2, -h / 2, 0});
  const uint32_t bl = part.AddPosition({-w / 2, -h / 2, 0});
  part.AddQuad({tl, 0, 0}, {tr, 1, 0}, {br, 1, 1}, {bl, 0, 1});  // faces -z
  part.AddBackFaces();
  return part;
}

MeshPart MeshShapes::Disc(double radius, int segments) {
  MeshPart part;
  segments = std::max(segments, 3);
  const uint32_t centre = part.AddPosition({0, 0, 0});
  std::vector<uint32_t> rim;
  for (int k = 0; k < segments; ++k) {
    const double a = kTau * k / segments;
    rim.push_back(part.AddPosition({radius * std::cos(a), radius * std::sin(a), 0}));
  }
  const auto corner = [&](uint32_t p) {
    const Vec3& at = part.Positions()[p];
    return Corner{p, 0.5 + at.x / (2 * radius), 0.5 - at.y / (2 * radius)};
  };
  for (int k = 0; k < segments; ++k)
    AddFace(&part, {corner(centre), corner(rim[k]), corner(rim[(k + 1) % segments])}, {0, 0, -1});
  part.AddBackFaces();
  return part;
}

MeshPart MeshShapes::Cross(double w, double length, int count) {
  MeshPart part;
  count = std::max(count, 1);
  for (int i = 0; i < count; ++i) {
    MeshPart sheet;
    const uint32_t a = sheet.AddPosition({-w / 2, 0, length});
    const uint32_t b = sheet.AddPosition({w / 2, 0, length});
    const uint32_t c = sheet.AddPosition({w / 2, 0, 0});
    const uint32_t d = sheet.AddPosition({-w / 2, 0, 0});
    AddFace(&sheet, {{a, 0, 0}, {b, 1, 0}, {c, 1, 1}, {d, 0, 1}}, {0, 1, 0});
    sheet.AddBackFaces();
    sheet.Place(Placement::Turn(0, 0, 180.0 * i / count));
    part.Append(sheet);
  }
  return part;
}

MeshPart MeshShapes::Sky(double radius, int segments, int rings, double skirtDegrees) {
  MeshPart part;
  segments = std::max(segments, 3);
  rings = std::max(rings, 1);
  const double lowest = 90.0 + std::clamp(skirtDegrees, 0.0, 80.0);  // degrees from the zenith
  // Rings are evenly spaced in angle from the zenith; the horizon is always one of them.
  std::vector<double> angles;
  for (int i = 0; i <= rings; ++i)
    angles.push_back(90.0 * i / rings);
  for (double a = 90.0 + 90.0 / rings; a < lowest - 1e-9; a += 90.0 / rings)
    angles.push_back(a);
  if (lowest > 90.0)
    angles.push_back(lowest);
  const auto corner = [&](uint32_t p, double fromZenith, double azimuth) {
    const double r = 0.5 * fromZenith / lowest;
    return Corner{p, 0.5 + r * std::sin(azimuth), 0.5 - r * std::cos(azimuth)};
  };
  const uint32_t zenith = part.AddPosition({0, radius, 0});
  std::vector<uint32_t> previous;
  for (size_t i = 1; i < angles.size(); ++i) {
    const double t = angles[i] * std::numbers::pi / 180.0;
    std::vector<uint32_t> ring;
    for (int k = 0; k < segments; ++k) {
      const double a = kTau * k / segments;
      ring.push_back(part.AddPosition({radius * std::sin(t) * std::sin(a), radius * std::cos(t),
                                       radius * std::sin(t) * std::cos(a)}));
    }
    for (int k = 0; k < segments; ++k) {
      const int k1 = (k + 1) % segments;
      const double a0 = kTau * k / segments, a1 = kTau * (k + 1) / segments;
      const Vec3 mid = Normalized(part.Positions()[ring[k]] + part.Positions()[ring[k1]]);
      const Vec3 inward = mid * -1;
      if (i == 1) {
        AddFace(
            &part,
            {corner(zenith, 0, 0), corner(ring[k], angles[i], a0), corner(ring[k1], angles[i], a1)},
            inward);
      } else {
        AddFace(&part,
                {corner(previous[k], angles[i - 1], a0), corner(previous[k1], angles[i - 1], a1),
                 corner(ring[k1], angles[i], a1), corner(ring[k], angles[i], a0)},
                inward);
      }
    }
    previous = ring;
  }
  return part;
}

}  // namespace quarn::tools

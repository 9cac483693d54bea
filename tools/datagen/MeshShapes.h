#pragma once
// The primitive parts meshes are built from, each centred on its own origin with its front
// faces outside. Sizes run along x (width), y (height) and z (depth or length); round shapes
// turn about the z axis, so a lathe profile reads from tail (-z) to nose (+z).
#include <utility>
#include <vector>

#include "MeshPart.h"

namespace quarn::tools {

class MeshShapes {
 public:
  // A box w x h x d; each face textured 0..1, upright as seen from outside.
  static MeshPart Box(double w, double h, double d);
  // A box whose front face (+z) is fw x fh and shifted by (dx, dy): tapers, ramps and noses.
  // A front side of 0 makes a wedge edge or a point.
  static MeshPart Frustum(double w, double h, double d, double fw, double fh, double dx, double dy);
  // A roof-shaped prism along z: a triangle of base w (at -h/2) and apex at (0, h/2).
  static MeshPart Wedge(double w, double h, double d);
  // Surface of revolution about z through the (z, r) points, closed by flat caps where the
  // profile does not end on the axis. Texture u runs round, v along the profile.
  static MeshPart Lathe(const std::vector<std::pair<double, double>>& profile, int segments);
  static MeshPart Cylinder(double radius, double length, int segments);
  static MeshPart Cone(double radius, double length, int segments);
  // An ellipsoid with radii rx, ry, rz, its poles on the z axis.
  static MeshPart Sphere(double rx, double ry, double rz, int segments, int rings);
  // The outline (x, z points, either way round, not crossing itself) as a slab of thickness t
  // about y = 0: wings, fins, decks. Top and bottom textured in plan view.
  static MeshPart Extrude(const std::vector<std::pair<double, double>>& outline, double thickness);
  // Sheets seen from both sides: a w x h quad in the x-y plane; a disc of radius r in that
  // plane; n quads w wide through the z axis from z = 0 to length, turned 180/n degrees apart.
  static MeshPart Quad(double w, double h);
  static MeshPart Disc(double radius, int segments);
  static MeshPart Cross(double w, double length, int count);
  // A dome seen from inside, from the zenith down to skirtDegrees below the horizon, textured
  // as a map of the sky: zenith in the middle, the lowest ring touching the edges, +x to the
  // right and +z up, distance from the middle proportional to the angle from the zenith.
  static MeshPart Sky(double radius, int segments, int rings, double skirtDegrees);
};

}  // namespace quarn::tools

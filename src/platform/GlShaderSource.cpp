#include "platform/GlShaderSource.h"

namespace quarn::platform {

namespace {

std::string Defines(uint32_t variant) {
  std::string defines;
  if ((variant & kShaderPretransformed) != 0)
    defines += "#define PRETRANSFORMED\n";
  if ((variant & kShaderNormal) != 0)
    defines += "#define HAS_NORMAL\n";
  if ((variant & kShaderDiffuse) != 0)
    defines += "#define HAS_DIFFUSE\n";
  if ((variant & kShaderTexCoord) != 0)
    defines += "#define HAS_TEXCOORD\n";
  if ((variant & kShaderLighting) != 0)
    defines += "#define LIGHTING\n";
  if ((variant & kShaderFog) != 0)
    defines += "#define FOG\n";
  defines += "#define MAX_LIGHTS " + std::to_string(kMaxShaderLights) + "\n";
  return defines;
}

constexpr const char* kVertexBody = R"(
in vec4 aPosition;
#ifdef HAS_NORMAL
in vec3 aNormal;
#endif
#ifdef HAS_DIFFUSE
in vec4 aDiffuse;
#endif
#ifdef HAS_TEXCOORD
in vec2 aTexCoord;
#endif

uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform vec4 uScreen;  // pretransformed: viewport left, top, 2 / width, 2 / height

#ifdef LIGHTING
uniform vec4 uMaterialDiffuse;
uniform vec3 uMaterialAmbient;
uniform vec3 uMaterialSpecular;
uniform vec3 uMaterialEmissive;
uniform float uMaterialPower;
uniform vec3 uAmbient;  // global ambient plus the ambient of every enabled light
uniform int uLightCount;
uniform vec3 uLightDirection[MAX_LIGHTS];  // towards the light, eye space, unit length
uniform vec3 uLightDiffuse[MAX_LIGHTS];
uniform vec3 uLightSpecular[MAX_LIGHTS];
uniform bool uSpecularEnable;
uniform bool uDiffuseFromVertex;
uniform bool uAmbientFromVertex;
uniform bool uNormalizeNormals;
#endif
#ifdef FOG
uniform vec3 uFog;  // end, 1 / (end - start), 1 for per-pixel (table) fog
#endif

out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vTexCoord;
out float vFog;

void main() {
#ifdef HAS_DIFFUSE
  vec4 vertexColor = aDiffuse.zyxw;  // stored as the bytes B, G, R, A
#else
  vec4 vertexColor = vec4(1.0);
#endif
  vSpecular = vec3(0.0);
  vFog = 1.0;
#ifdef PRETRANSFORMED
  float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
  vec2 ndc = vec2((aPosition.x - uScreen.x) * uScreen.z - 1.0,
                  1.0 - (aPosition.y - uScreen.y) * uScreen.w);
  vec4 clip = vec4(ndc * w, aPosition.z * w, w);
  vDiffuse = vertexColor;
#else
  vec4 eye = uWorldView * vec4(aPosition.xyz, 1.0);
  vec4 clip = uProjection * eye;
#ifdef LIGHTING
  vec3 normal = vec3(0.0);
#ifdef HAS_NORMAL
  normal = mat3(uWorldView) * aNormal;
  if (uNormalizeNormals && dot(normal, normal) > 0.0) normal = normalize(normal);
#endif
  vec4 materialDiffuse = uDiffuseFromVertex ? vertexColor : uMaterialDiffuse;
  vec3 materialAmbient = uAmbientFromVertex ? vertexColor.rgb : uMaterialAmbient;
  vec3 toEye = dot(eye.xyz, eye.xyz) > 0.0 ? normalize(-eye.xyz) : vec3(0.0, 0.0, -1.0);
  vec3 diffuse = vec3(0.0);
  vec3 specular = vec3(0.0);
  for (int i = 0; i < uLightCount; ++i) {
    float facing = dot(normal, uLightDirection[i]);
    if (facing > 0.0) {
      diffuse += uLightDiffuse[i] * facing;
      if (uSpecularEnable) {
        float highlight = max(dot(normal, normalize(uLightDirection[i] + toEye)), 0.0);
        specular += uLightSpecular[i] *
                    (uMaterialPower > 0.0 ? pow(highlight, uMaterialPower) : 1.0);
      }
    }
  }
  vDiffuse = vec4(clamp(uMaterialEmissive + materialAmbient * uAmbient +
                            materialDiffuse.rgb * diffuse, 0.0, 1.0),
                  materialDiffuse.a);
  if (uSpecularEnable) vSpecular = clamp(uMaterialSpecular * specular, 0.0, 1.0);
#else
  vDiffuse = vertexColor;
#endif
#ifdef FOG
  vFog = uFog.z != 0.0 ? eye.z : clamp((uFog.x - eye.z) * uFog.y, 0.0, 1.0);
#endif
#endif
#ifdef HAS_TEXCOORD
  vTexCoord = aTexCoord;
#else
  vTexCoord = vec2(0.0);
#endif
#ifdef FLIP_AND_FOLD_DEPTH
  clip.y = -clip.y;
  clip.z = 2.0 * clip.z - clip.w;
#endif
  gl_Position = clip;
}
)";

constexpr const char* kFragmentBody = R"(
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vTexCoord;
in float vFog;

uniform sampler2D uTexture;  // a white texel when no texture is set
uniform ivec3 uColorStage;   // operation, argument 1, argument 2
uniform ivec3 uAlphaStage;
uniform int uAlphaFunc;      // compare function; 8 (always) when the alpha test is off
uniform float uAlphaRef;     // 0..255
#ifdef FOG
uniform vec3 uFog;
uniform vec3 uFogColor;
#endif

out vec4 fragColor;

vec4 Argument(int argument, vec4 texel, vec4 diffuse) {
  int source = argument & 15;
  if (source == 2) return texel;
  if (source == 3) return vec4(1.0);
  return diffuse;  // diffuse, and the current colour, which is the diffuse at stage 0
}

vec4 Combine(ivec3 stage, vec4 texel, vec4 diffuse) {
  vec4 first = Argument(stage.y, texel, diffuse);
  vec4 second = Argument(stage.z, texel, diffuse);
  if (stage.x == 2) return first;
  if (stage.x == 3) return second;
  return first * second;
}

bool Passes(int func, float value, float reference) {
  if (func == 1) return false;
  if (func == 2) return value < reference;
  if (func == 3) return value == reference;
  if (func == 4) return value <= reference;
  if (func == 5) return value > reference;
  if (func == 6) return value != reference;
  if (func == 7) return value >= reference;
  return true;
}

void main() {
  vec4 texel = texture(uTexture, vTexCoord);
  vec4 color = vDiffuse;
  if (uColorStage.x != 1) {
    color.rgb = Combine(uColorStage, texel, vDiffuse).rgb;
    if (uAlphaStage.x != 1) color.a = Combine(uAlphaStage, texel, vDiffuse).a;
  }
  color.rgb = min(color.rgb + vSpecular, vec3(1.0));
  if (uAlphaFunc != 8 && !Passes(uAlphaFunc, floor(color.a * 255.0 + 0.5), uAlphaRef)) discard;
#ifdef FOG
  float fog = uFog.z != 0.0 ? clamp((uFog.x - vFog) * uFog.y, 0.0, 1.0) : vFog;
  color.rgb = mix(uFogColor, color.rgb, fog);
#endif
  fragColor = color;
}
)";

}  // namespace

std::string FixedFunctionVertexSource(uint32_t variant, const std::string& header,
                                      bool flipAndFoldDepth) {
  std::string source = header + Defines(variant);
  if (flipAndFoldDepth)
    source += "#define FLIP_AND_FOLD_DEPTH\n";
  return source + kVertexBody;
}

std::string FixedFunctionFragmentSource(uint32_t variant, const std::string& header) {
  return header + Defines(variant) + kFragmentBody;
}

}  // namespace quarn::platform

#include "assetgen.h"
#include "noise.h"

#include <cmath>

namespace assetgen {

namespace {

using glm::vec3;

// Nudges every vertex along its normal by smooth noise, for things that
// should look hand-made rather than turned on a lathe.
void lumpy(Mesh& m, float amount, uint32_t seed)
{
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const vec3 p = m.positions[i];
        const float n = valueNoise(p.x * 3.1f + p.y * 1.7f, p.z * 3.1f - p.y * 2.3f, 0, seed) - 0.5f;
        m.positions[i] += m.normals[i] * (n * amount);
    }
    m.smoothNormals();
}

Model single(const std::string& nodeName)
{
    Model model;
    model.root.children.push_back(Node{nodeName});
    return model;
}

void put(Model& model, Mesh mesh, int material, const std::string& name)
{
    mesh.name = name;
    model.root.children.front().meshes.push_back(model.addMesh(std::move(mesh), material));
}

// The game outlines every mesh by pushing it out 0.04 along its normals in
// its own units. Things held close to the eye are therefore modelled ten
// times too big and shrunk back by their node, so that their outline stays
// as thin on screen as that of the scenery. This gives that enlargement for
// a placement (none for things placed at their natural size).
glm::mat4 meshScale(const glm::mat4& placement)
{
    return glm::determinant(glm::mat3(placement)) < 0.5f ? scale(vec3(10.0f)) : glm::mat4(1.0f);
}

// The cake of each kind, in its physics box: 2 wide, 1 high, 2 deep,
// centred on the origin.
struct CakeParts {
    Mesh sides, icing, decoration;
    std::string icingTexture, decorationTexture;
};

CakeParts cakeParts(int kind)
{
    CakeParts parts;
    const char* icings[4] = {"icing_pink.png", "icing_chocolate.png", "icing_lemon.png", "icing_cream.png"};
    parts.icingTexture = icings[(kind - 1) % 4];
    parts.sides.append(cylinder(0.96f, 0.96f, 0.72f, 28, 1, true, false, 3.0f, 1.0f), translate({0, -0.5f, 0}));

    // The icing: a cap over the top with a rounded edge and drops running down the side.
    Mesh icing = cylinder(1.0f, 0.97f, 0.12f, 28, 1, false, true, 3.0f, 0.3f);
    parts.icing.append(icing, translate({0, 0.2f, 0}));
    for (int i = 0; i < 14; ++i) {
        const float a = 6.2831853f * (i + 0.5f) / 14;
        const float length = 0.12f + 0.08f * std::fmod(i * 0.618f, 1.0f);
        Mesh drop = sphere(0.09f, 6, 4);
        parts.icing.append(drop, translate({0.93f * std::cos(a), 0.2f - length * 0.5f, -0.93f * std::sin(a)}) *
                                     scale({0.7f, length / 0.18f + 0.6f, 0.7f}));
    }

    switch (kind) {
    case 1: // strawberries round the rim and one in the middle
        parts.decorationTexture = "berry.png";
        for (int i = 0; i <= 7; ++i) {
            const float a = 6.2831853f * i / 7;
            const vec3 at = i == 7 ? vec3(0, 0.4f, 0) : vec3(0.68f * std::cos(a), 0.4f, -0.68f * std::sin(a));
            parts.decoration.append(sphere(0.12f, 8, 6), translate(at) * scale({1.0f, 0.78f, 1.0f}));
        }
        break;
    case 2: { // a chocolate second tier with cream dollops
        parts.decorationTexture = "icing_cream.png";
        for (int i = 0; i < 10; ++i) {
            const float a = 6.2831853f * i / 10;
            parts.decoration.append(sphere(0.1f, 8, 5), translate({0.78f * std::cos(a), 0.38f, -0.78f * std::sin(a)}) *
                                                            scale({1.0f, 0.8f, 1.0f}));
        }
        Mesh tier = cylinder(0.5f, 0.48f, 0.14f, 20, 1, false, true, 2.0f, 0.3f);
        parts.icing.append(tier, translate({0, 0.32f, 0}));
        parts.decoration.append(sphere(0.1f, 8, 5), translate({0, 0.41f, 0}) * scale({1.0f, 0.8f, 1.0f}));
        break;
    }
    case 3: // candles
        parts.decorationTexture = "candle.png";
        for (int i = 0; i < 5; ++i) {
            const float a = 6.2831853f * i / 5 + 0.3f;
            const vec3 at(0.5f * std::cos(a), 0.32f, -0.5f * std::sin(a));
            parts.decoration.append(cylinder(0.045f, 0.045f, 0.1f, 8, 1, false, true), translate(at));
            // The flame takes its colour from the top of the candle texture.
            Mesh flame = sphere(0.03f, 6, 4);
            for (glm::vec2& uv : flame.uvs)
                uv = {0.5f, 0.97f};
            parts.decoration.append(flame, translate(at + vec3(0, 0.135f, 0)) * scale({1, 1.3f, 1}));
        }
        break;
    default: // berries in a ring round a big cherry
        parts.decorationTexture = "berry.png";
        for (int i = 0; i < 12; ++i) {
            const float a = 6.2831853f * i / 12;
            parts.decoration.append(sphere(0.07f, 6, 4), translate({0.8f * std::cos(a), 0.37f, -0.8f * std::sin(a)}));
        }
        parts.decoration.append(sphere(0.15f, 10, 7), translate({0, 0.46f - 0.12f, 0}) * scale({1, 0.85f, 1}));
        break;
    }
    return parts;
}

Model cakeModel(int kind, const Palette& palette, const glm::mat4& placement, const std::string& node)
{
    CakeParts parts = cakeParts(kind);
    Model model = single(node);
    if (meshScale(placement) != glm::mat4(1.0f))
        model.root.children.front().transform = scale(vec3(0.1f));
    auto place = [&](const Mesh& m) {
        Mesh out;
        out.append(m, meshScale(placement) * placement);
        return out;
    };
    put(model, place(parts.sides), model.addMaterial(texturedMaterial("sponge", "sponge.png", palette)), "sponge");
    put(model, place(parts.icing), model.addMaterial(texturedMaterial("icing", parts.icingTexture, palette)), "icing");
    put(model, place(parts.decoration),
        model.addMaterial(texturedMaterial("decoration", parts.decorationTexture, palette)), "decoration");
    return model;
}

} // namespace

Model buildCake(int kind, const Palette& palette)
{
    return cakeModel(kind, palette, glm::mat4(1.0f), "cake");
}

// Where the held cake sits in camera space (the camera looks along +z with
// -x to its right): on the palm of the hand, low and to the right.
const vec3 heldCakeCentre(-0.27f, -0.215f, 0.76f);
constexpr float heldCakeScale = 0.085f;

Model buildHeldCake(const Palette& palette)
{
    return cakeModel(3, palette, translate(heldCakeCentre) * scale(vec3(heldCakeScale)), "heldCake");
}

Model buildHand(const Palette& palette)
{
    // A right hand, palm up under the held cake, fingers forward and curled
    // up round the cake's side, the thumb on the inner (left, +x) side, the
    // forearm running back and down out of the bottom of the view. Nothing
    // comes nearer than 0.55 to the camera plane, so even the cocked pose
    // (0.5 further back) stays clear of the near plane.
    const vec3 palm = heldCakeCentre + vec3(0.0f, -0.066f, -0.005f);
    Mesh skin;
    skin.append(sphere(1.0f, 14, 9), translate(palm) * scale({0.062f, 0.024f, 0.07f}));
    auto finger = [&](const vec3& base, float length, float radius, float curlDeg, float yawDeg) {
        // Two bones, the second bent further up.
        const glm::mat4 root = translate(base) * rotateY(yawDeg) * rotateX(90.0f - curlDeg);
        const float l1 = length * 0.55f, l2 = length * 0.45f;
        skin.append(cylinder(radius, radius * 0.92f, l1, 8, 2, false, false), root);
        const glm::mat4 joint = root * translate({0, l1, 0}) * rotateX(-curlDeg);
        skin.append(sphere(radius * 0.95f, 8, 5), joint);
        skin.append(cylinder(radius * 0.92f, radius * 0.8f, l2, 8, 2, false, false), joint);
        skin.append(sphere(radius * 0.8f, 8, 5), joint * translate({0, l2, 0}));
    };
    for (int i = 0; i < 4; ++i) {
        const float x = palm.x - 0.036f + 0.024f * i; // little finger on the outer (right) side
        const float length = (i == 0) ? 0.055f : (i == 3 ? 0.068f : 0.075f);
        finger({x, palm.y + 0.004f, palm.z + 0.062f}, length, 0.0105f, 38.0f, (i - 1.5f) * 4.0f);
    }
    finger({palm.x + 0.058f, palm.y + 0.002f, palm.z + 0.005f}, 0.06f, 0.012f, 25.0f, 50.0f);
    // Wrist and forearm.
    const vec3 wrist = palm + vec3(-0.005f, -0.012f, -0.06f);
    const vec3 elbow(-0.43f, -0.62f, 0.56f);
    const vec3 arm = elbow - wrist;
    const float armLength = glm::length(arm);
    // Turn the tube's y axis onto the arm direction.
    const vec3 axis = glm::normalize(arm);
    const vec3 side = glm::normalize(glm::cross(axis, vec3(0, 0, 1)));
    const vec3 third = glm::cross(side, axis);
    glm::mat4 along(1.0f);
    along[0] = glm::vec4(side, 0);
    along[1] = glm::vec4(axis, 0);
    along[2] = glm::vec4(third, 0);
    along[3] = glm::vec4(wrist, 1);
    skin.append(cylinder(0.03f, 0.042f, armLength * 0.45f, 12, 3, false, false, 1, 1),
                along * scale({1.25f, 1.0f, 0.85f}));
    Mesh sleeve = cylinder(0.05f, 0.06f, armLength * 0.6f, 14, 2, true, false, 1, 1);
    Mesh sleeveOut;
    sleeveOut.append(sleeve, along * translate({0, armLength * 0.4f, 0}) * scale({1.2f, 1.0f, 0.9f}));

    Model model = single("hand");
    // Modelled ten times too big and shrunk back by the node, for a thin outline.
    const glm::mat4 enlarge = scale(vec3(10.0f));
    model.root.children.front().transform = scale(vec3(0.1f));
    Mesh big;
    big.append(skin, enlarge);
    skin = big;
    big = Mesh();
    big.append(sleeveOut, enlarge);
    sleeveOut = big;
    put(model, skin, model.addMaterial(texturedMaterial("skin", "skin.png", palette)), "skin");
    put(model, sleeveOut, model.addMaterial(texturedMaterial("sleeve", "sleeve.png", palette)), "sleeve");
    return model;
}

Model buildSky(const Palette& palette)
{
    // Seen from inside: turn every triangle round and the normals inwards.
    Mesh dome = sphere(150.0f, 36, 18);
    for (size_t i = 0; i + 2 < dome.indices.size(); i += 3)
        std::swap(dome.indices[i + 1], dome.indices[i + 2]);
    for (vec3& n : dome.normals)
        n = -n;
    Model model = single("sky");
    put(model, dome, model.addMaterial(texturedMaterial("sky", "sky.png", palette)), "dome");
    return model;
}

// The snowman faces +x; his right side is +z. He stands on y 0.
namespace snowman {
const vec3 snowColour(0.93f, 0.96f, 1.0f);
const vec3 coal(0.08f, 0.08f, 0.1f);
const vec3 carrot(1.0f, 0.5f, 0.1f);
const vec3 wood(0.42f, 0.27f, 0.14f);
const vec3 scarf(0.85f, 0.12f, 0.15f);
struct Ball { vec3 centre; float radius; };
const Ball balls[3] = {{{0, 0.42f, 0}, 0.48f}, {{0, 1.06f, 0}, 0.35f}, {{0, 1.5f, 0}, 0.25f}};
const vec3 shoulder(0.0f, 1.12f, 0.27f);
} // namespace snowman

Model buildSnowman()
{
    using namespace snowman;
    Mesh snowBody, details;
    for (int i = 0; i < 3; ++i) {
        Mesh ball = sphere(balls[i].radius, 18, 11);
        lumpy(ball, balls[i].radius * 0.08f, 300 + i);
        ball.paint(snowColour);
        snowBody.append(ball, translate(balls[i].centre));
    }
    const vec3 head = balls[2].centre;
    auto dot = [&](const vec3& at, float r) {
        Mesh s = sphere(r, 6, 4);
        s.paint(coal);
        details.append(s, translate(at));
    };
    dot(head + vec3(0.21f, 0.07f, 0.085f), 0.032f);
    dot(head + vec3(0.21f, 0.07f, -0.085f), 0.032f);
    for (int k = 0; k < 5; ++k) { // a coal smile
        const float a = (k - 2) * 0.32f;
        dot(head + vec3(0.22f * std::cos(a * 0.5f), -0.08f - 0.02f * std::cos(a * 2.0f), 0.09f * (k - 2) * 0.55f), 0.018f);
    }
    for (int k = 0; k < 3; ++k)
        dot(balls[1].centre + vec3(0.33f, 0.16f - 0.15f * k, 0) * (1.0f - 0.05f * std::abs(k - 1)), 0.035f);
    Mesh nose = cylinder(0.045f, 0.0f, 0.22f, 10, 2, true, false);
    nose.paint(carrot);
    details.append(nose, translate(head + vec3(0.22f, 0.0f, 0)) * rotateZ(-90.0f));
    Mesh brim = cylinder(0.29f, 0.29f, 0.03f, 18, 1, true, true);
    Mesh crown = cylinder(0.18f, 0.19f, 0.22f, 18, 1, false, true);
    Mesh band = cylinder(0.195f, 0.195f, 0.05f, 18, 1, false, false);
    brim.paint(coal);
    crown.paint(coal);
    band.paint(scarf);
    const glm::mat4 hat = translate(head + vec3(0, 0.2f, 0)) * rotateZ(8.0f);
    details.append(brim, hat);
    details.append(crown, hat * translate({0, 0.03f, 0}));
    details.append(band, hat * translate({0, 0.035f, 0}));
    Mesh wrap = torus(0.25f, 0.06f, 20, 8);
    wrap.paint(scarf);
    details.append(wrap, translate({0, 1.3f, 0}) * scale({1, 0.8f, 1}));
    Mesh tail = box({0.04f, 0.16f, 0.08f});
    tail.paint(scarf);
    details.append(tail, translate({0.2f, 1.15f, -0.12f}) * rotateX(12.0f));

    // An arm: a stick from the shoulder out along +z, raised, with two twig
    // fingers at the end. It turns about its node's own y axis.
    auto arm = [&]() {
        Mesh m;
        const glm::mat4 raise = rotateX(90.0f - 28.0f);
        m.append(cylinder(0.028f, 0.018f, 0.62f, 6, 2, false, true), raise);
        const glm::mat4 hand = raise * translate({0, 0.5f, 0});
        m.append(cylinder(0.014f, 0.008f, 0.16f, 5, 1, false, true), hand * rotateX(-35.0f));
        m.append(cylinder(0.014f, 0.008f, 0.14f, 5, 1, false, true), hand * rotateZ(40.0f));
        m.append(cylinder(0.012f, 0.008f, 0.12f, 5, 1, false, true), hand * translate({0, -0.22f, 0}) * rotateX(45.0f));
        m.paint(wood);
        return m;
    };
    Mesh right = arm();
    Mesh left;
    left.append(right, scale({1, 1, -1}));

    Model model;
    const int material = model.addMaterial(Material{"snowman", snowColour, vec3(0.0f), ""});
    Node figure{"snowman"};
    Node armRight{"arm_right", translate(shoulder)};
    Node armLeft{"arm_left", translate(shoulder * vec3(1, 1, -1))};
    Node body{"body"};
    right.name = "arm_right";
    left.name = "arm_left";
    snowBody.name = "snow";
    details.name = "details";
    armRight.meshes.push_back(model.addMesh(right, material));
    armLeft.meshes.push_back(model.addMesh(left, material));
    body.meshes.push_back(model.addMesh(snowBody, material));
    body.meshes.push_back(model.addMesh(details, material));
    figure.children = {armRight, armLeft, body};
    model.root.children.push_back(figure);
    return model;
}

Model buildSnowmanCollision(float s)
{
    Mesh m;
    for (const snowman::Ball& b : snowman::balls)
        m.append(sphere(b.radius, 8, 5), scale(vec3(s)) * translate(b.centre));
    Model model = single("collision");
    put(model, m, model.addMaterial(Material{"collision", vec3(1.0f), vec3(0.0f), ""}), "snowman");
    return model;
}

Model buildTarget()
{
    // Concentric rings on the front (+x), the bull's-eye yellow, in colours
    // bright enough for the glow pass; a dark rim, a plain back, and an
    // easel: a foot plank on the ground and a strut behind.
    const float radius = targetHalfWidth - 0.06f;
    const int segments = 36;
    const vec3 ringColours[6] = {{1.0f, 0.86f, 0.1f}, {1.0f, 0.12f, 0.1f}, {1.0f, 1.0f, 1.0f},
                                 {1.0f, 0.12f, 0.1f}, {1.0f, 1.0f, 1.0f}, {0.55f, 0.05f, 0.08f}};
    Mesh board;
    const vec3 n(1, 0, 0);
    const vec3 centre(targetHalfDepth, targetBoardCentre, 0);
    for (int ring = 0; ring < 6; ++ring) {
        const float r0 = radius * ring / 5.0f, r1 = ring == 5 ? targetHalfWidth : radius * (ring + 1) / 5.0f;
        const unsigned first = static_cast<unsigned>(board.positions.size());
        for (int i = 0; i <= segments; ++i) {
            const float a = 6.2831853f * i / segments;
            const vec3 d(0, std::sin(a), -std::cos(a));
            board.addVertex(centre + d * r0, n, {0.5f, 0.5f}, ringColours[ring]);
            board.addVertex(centre + d * r1, n, {0.5f, 0.5f}, ringColours[ring]);
        }
        for (int i = 0; i < segments; ++i) {
            const unsigned a = first + 2 * i;
            if (ring > 0)
                board.addTriangle(a, a + 1, a + 2);
            board.addTriangle(a + 1, a + 3, a + 2);
        }
    }
    Mesh rim = cylinder(targetHalfWidth, targetHalfWidth, targetHalfDepth * 2.0f, segments, 1, false, false);
    rim.paint({0.55f, 0.05f, 0.08f});
    board.append(rim, translate({targetHalfDepth, targetBoardCentre, 0}) * rotateZ(90.0f));
    Mesh back = disc(targetHalfWidth, segments);
    back.paint({0.85f, 0.75f, 0.55f});
    board.append(back, translate({-targetHalfDepth, targetBoardCentre, 0}) * rotateY(180.0f));

    Mesh stand;
    stand.append(box({0.1f, 0.03f, 0.55f}), translate({-0.05f, 0.03f, 0}));
    const float strut = glm::length(glm::vec2(0.4f, targetBoardCentre));
    stand.append(cylinder(0.035f, 0.03f, strut, 6, 1, false, true),
                 translate({-0.45f, 0.0f, 0}) * rotateZ(-std::atan2(0.4f, targetBoardCentre) * 57.29578f));
    stand.append(box({0.2f, 0.03f, 0.03f}), translate({-0.25f, 0.03f, 0}));
    stand.paint({0.55f, 0.36f, 0.2f});

    Model model = single("target");
    put(model, board, model.addMaterial(Material{"board", vec3(1.0f, 0.2f, 0.15f), vec3(1.0f, 0.2f, 0.15f), ""}), "board");
    put(model, stand, model.addMaterial(Material{"stand", vec3(0.55f, 0.36f, 0.2f), vec3(0.0f), ""}), "stand");
    return model;
}

Model buildTargetCollision()
{
    Model model = single("collision");
    Mesh b = box({targetHalfDepth, targetHalfWidth, targetHalfWidth});
    Mesh placed;
    placed.append(b, translate({0, targetBoardCentre, 0}));
    put(model, placed, model.addMaterial(Material{"collision", vec3(1.0f), vec3(0.0f), ""}), "board");
    return model;
}

} // namespace assetgen

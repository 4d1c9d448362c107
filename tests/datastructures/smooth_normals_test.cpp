#include "datastructures/vertex.h"
#include "quadratic_smooth_normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

using frosk::datastructures::computeSmoothNormals;
using frosk::datastructures::Vertex;
using testsupport::quadraticSmoothNormals;

namespace {

bool sameBits(const glm::vec3& a, const glm::vec3& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSameAsQuadratic(std::vector<Vertex> vertices, const std::string& what)
{
    std::vector<Vertex> expected = vertices;
    quadraticSmoothNormals(expected);
    computeSmoothNormals(vertices);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const glm::vec3& got = vertices[i].smoothNormal;
        const glm::vec3& want = expected[i].smoothNormal;
        ASSERT_TRUE(sameBits(got, want)) << what << ", vertex " << i << ": (" << got.x << ", " << got.y << ", "
                                         << got.z << ") instead of (" << want.x << ", " << want.y << ", " << want.z
                                         << ")";
    }
}

Vertex at(const glm::vec3& position, const glm::vec3& normal)
{
    Vertex v;
    v.position = position;
    v.normal = normal;
    return v;
}

const float notANumber = std::numeric_limits<float>::quiet_NaN();

} // namespace

// Random meshes whose positions come from a handful of values, so that many
// vertices share positions, with the two zeros, NaNs, infinities and normals
// that cancel mixed in.
TEST(SmoothNormals, EqualToVertexByVertexRuleOnRandomMeshes)
{
    const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, std::nextafter(0.5f, 1.0f), 1e-38f, 3.0e38f,
                            std::numeric_limits<float>::infinity(), notANumber};
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        const int distinct = 2 + round % 9;
        std::uniform_int_distribution<int> pick(0, distinct - 1);
        std::uniform_real_distribution<float> component(-1.0f, 1.0f);
        std::vector<Vertex> vertices(static_cast<std::size_t>(1 + random() % 400));
        for (Vertex& v : vertices) {
            v.position = {values[pick(random)], values[pick(random)], values[pick(random)]};
            switch (random() % 4) {
            case 0: v.normal = {0.0f, 0.0f, 0.0f}; break;
            case 1: v.normal = {1.0f, 0.0f, 0.0f}; break;
            case 2: v.normal = {-1.0f, 0.0f, 0.0f}; break;
            default: v.normal = {component(random), component(random), component(random)};
            }
        }
        expectSameAsQuadratic(vertices, "round " + std::to_string(round));
    }
}

TEST(SmoothNormals, EqualToVertexByVertexRuleOnLargeGrid)
{
    // A grid of quads with a normal per face: four vertices at every inner corner.
    std::vector<Vertex> vertices;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> tilt(-0.3f, 0.3f);
    for (int x = 0; x < 30; ++x)
        for (int z = 0; z < 30; ++z) {
            const glm::vec3 n = glm::normalize(glm::vec3(tilt(random), 1.0f, tilt(random)));
            for (int corner = 0; corner < 4; ++corner)
                vertices.push_back(at({0.1f * (x + corner % 2), 0.0f, 0.1f * (z + corner / 2)}, n));
        }
    expectSameAsQuadratic(vertices, "grid");
}

TEST(SmoothNormals, SharedPositionGetsTheUnitMeanAndNeighboursInTheLastBitDoNot)
{
    const glm::vec3 p(0.25f, 1.0f, -2.0f);
    const glm::vec3 nextBit(std::nextafter(p.x, 1.0f), p.y, p.z);
    std::vector<Vertex> vertices = {at(p, {1, 0, 0}), at(p, {0, 1, 0}), at(nextBit, {0, 0, 1})};
    computeSmoothNormals(vertices);
    const glm::vec3 mean = glm::normalize(glm::vec3(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(vertices[0].smoothNormal, mean);
    EXPECT_EQ(vertices[1].smoothNormal, mean);
    EXPECT_EQ(vertices[2].smoothNormal, glm::vec3(0, 0, 1));
    // The model's own normals stay as they were.
    EXPECT_EQ(vertices[0].normal, glm::vec3(1, 0, 0));
}

TEST(SmoothNormals, NegativeZeroIsTheSamePositionAsZero)
{
    std::vector<Vertex> vertices = {at({0.0f, 1.0f, 0.0f}, {1, 0, 0}), at({-0.0f, 1.0f, -0.0f}, {0, 0, 1})};
    computeSmoothNormals(vertices);
    const glm::vec3 mean = glm::normalize(glm::vec3(1, 0, 1));
    EXPECT_EQ(vertices[0].smoothNormal, mean);
    EXPECT_EQ(vertices[1].smoothNormal, mean);
}

TEST(SmoothNormals, NaNPositionMatchesNothingNotEvenAnIdenticalNaN)
{
    std::vector<Vertex> vertices = {at({notANumber, 0, 0}, {0, 2, 0}), at({notANumber, 0, 0}, {2, 0, 0}), at({0, 0, 0}, {0, 0, 1})};
    computeSmoothNormals(vertices);
    EXPECT_EQ(vertices[0].smoothNormal, glm::vec3(0, 1, 0));
    EXPECT_EQ(vertices[1].smoothNormal, glm::vec3(1, 0, 0));
    EXPECT_EQ(vertices[2].smoothNormal, glm::vec3(0, 0, 1));
}

TEST(SmoothNormals, NormalsThatCancelKeepEachVertexsOwnNormal)
{
    // Two sides of a sheet meet at the same positions.
    const glm::vec3 up(0, 1, 0);
    std::vector<Vertex> vertices = {at({1, 0, 1}, up), at({1, 0, 1}, -up), at({5, 5, 5}, {0, 0, 0})};
    computeSmoothNormals(vertices);
    EXPECT_EQ(vertices[0].smoothNormal, up);
    EXPECT_EQ(vertices[1].smoothNormal, -up);
    // A lone zero normal stays zero rather than becoming NaN.
    EXPECT_EQ(vertices[2].smoothNormal, glm::vec3(0, 0, 0));
}

TEST(SmoothNormals, EmptyMeshIsFine)
{
    std::vector<Vertex> vertices;
    computeSmoothNormals(vertices);
    EXPECT_TRUE(vertices.empty());
}

#include "datastructures/vertex.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace frosk::datastructures {

namespace {

// A position as a hash key with float equality: the two zeros share one bit
// pattern here; NaN positions never become keys (they equal nothing).
struct PositionKey {
    std::uint32_t bits[3];
    bool operator==(const PositionKey& other) const
    {
        return bits[0] == other.bits[0] && bits[1] == other.bits[1] && bits[2] == other.bits[2];
    }
};

struct PositionKeyHash {
    std::size_t operator()(const PositionKey& key) const
    {
        std::uint64_t h = 0x9e3779b97f4a7c15ull;
        for (std::uint32_t b : key.bits) {
            h ^= b;
            h *= 0xff51afd7ed558ccdull;
            h ^= h >> 32;
        }
        return static_cast<std::size_t>(h);
    }
};

std::uint32_t keyBits(float value)
{
    if (value == 0.0f)
        value = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool hasNaN(const glm::vec3& p)
{
    return std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z);
}

struct Group {
    glm::vec3 sum{0.0f};
    unsigned count = 0;
    glm::vec3 mean{0.0f};
    bool usable = false;
};

} // namespace

void computeSmoothNormals(std::vector<Vertex>& vertices)
{
    std::unordered_map<PositionKey, std::size_t, PositionKeyHash> groupOf;
    groupOf.reserve(vertices.size());
    std::vector<Group> groups;
    std::vector<std::size_t> vertexGroup(vertices.size());

    // Sums run in vertex order, as a vertex-by-vertex comparison would add
    // them, so the result is the same to the last bit.
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const glm::vec3& p = vertices[i].position;
        std::size_t group = groups.size();
        if (!hasNaN(p)) {
            const PositionKey key{{keyBits(p.x), keyBits(p.y), keyBits(p.z)}};
            group = groupOf.try_emplace(key, groups.size()).first->second;
        }
        if (group == groups.size())
            groups.emplace_back();
        groups[group].sum += vertices[i].normal;
        ++groups[group].count;
        vertexGroup[i] = group;
    }

    for (Group& group : groups) {
        const glm::vec3 mean = group.sum / static_cast<float>(group.count);
        const float length = glm::length(mean);
        group.usable = length > 0.0f && std::isfinite(length);
        if (group.usable)
            group.mean = glm::normalize(mean);
    }

    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Group& group = groups[vertexGroup[i]];
        vertices[i].smoothNormal = group.usable ? group.mean : vertices[i].normal;
    }
}

} // namespace frosk::datastructures

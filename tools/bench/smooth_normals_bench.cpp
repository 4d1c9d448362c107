// Smooth normals of the biggest mesh the game loads, computed the linear way
// the loader does and vertex against vertex as the rule reads. Run from the
// runtime root so that Models/ is found.

#include "datastructures/vertex.h"
#include "../../tests/datastructures/quadratic_smooth_normals.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using frosk::datastructures::Vertex;

const char* const models[] = {"Models/Terrain_3.dae", "Models/level1_big_trees.dae", "Models/level2_trees.dae",
                              "Models/snowman_animation.dae"};

// The corners of the largest mesh among the game's models, as the loader
// reads them (triangulated, with normals).
const std::vector<Vertex>& largestMesh()
{
    static const std::vector<Vertex> vertices = [] {
        std::vector<Vertex> largest;
        std::string from;
        for (const char* path : models) {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_GenSmoothNormals);
            if (scene == nullptr)
                continue;
            for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
                const aiMesh* mesh = scene->mMeshes[m];
                if (mesh->mNumVertices <= largest.size() || !mesh->HasNormals())
                    continue;
                largest.assign(mesh->mNumVertices, Vertex{});
                for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                    largest[v].position = {mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z};
                    largest[v].normal = {mesh->mNormals[v].x, mesh->mNormals[v].y, mesh->mNormals[v].z};
                }
                from = std::string(path) + " mesh " + std::to_string(m);
            }
        }
        if (largest.empty()) {
            std::cerr << "No model found; run from the runtime root (build/runtime)\n";
            std::exit(1);
        }
        std::cerr << "Largest mesh: " << from << ", " << largest.size() << " vertices\n";
        return largest;
    }();
    return vertices;
}

void linear(benchmark::State& state)
{
    std::vector<Vertex> vertices = largestMesh();
    for (auto _ : state) {
        frosk::datastructures::computeSmoothNormals(vertices);
        benchmark::DoNotOptimize(vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(vertices.size());
}
BENCHMARK(linear)->Unit(benchmark::kMillisecond);

void quadratic(benchmark::State& state)
{
    std::vector<Vertex> vertices = largestMesh();
    for (auto _ : state) {
        testsupport::quadraticSmoothNormals(vertices);
        benchmark::DoNotOptimize(vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(vertices.size());
}
BENCHMARK(quadratic)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

#include "collada_writer.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testmodels {

Mesh grid(float size, int cells, float y)
{
    Mesh mesh;
    const float cell = size / cells;
    for (int row = 0; row <= cells; ++row)
        for (int column = 0; column <= cells; ++column)
            mesh.points.emplace_back(-0.5f * size + column * cell, y, -0.5f * size + row * cell);
    const unsigned stride = cells + 1;
    for (int row = 0; row < cells; ++row)
        for (int column = 0; column < cells; ++column) {
            const unsigned a = row * stride + column;
            mesh.indices.insert(mesh.indices.end(), {a, a + stride, a + 1, a + 1, a + stride, a + stride + 1});
        }
    return mesh;
}

Mesh box(const glm::vec3& l, const glm::vec3& h)
{
    Mesh mesh;
    mesh.points = {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z},
                   {l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}};
    mesh.indices = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                    3, 7, 6, 3, 6, 2, 0, 4, 7, 0, 7, 3, 1, 2, 6, 1, 6, 5};
    return mesh;
}

namespace {

void writeNode(std::ostream& out, const Node& node)
{
    out << "<node id=\"" << node.name << "\" name=\"" << node.name << "\" type=\"NODE\">\n<matrix sid=\"transform\">";
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            out << node.transform[column][row] << ' ';
    out << "</matrix>\n";
    for (int mesh : node.meshes)
        out << "<instance_geometry url=\"#mesh" << mesh << "\"/>\n";
    for (const Node& child : node.children)
        writeNode(out, child);
    out << "</node>\n";
}

} // namespace

void write(const Model& model, const std::string& path)
{
    std::ostringstream out;
    out.precision(9);
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
           "<asset><unit name=\"meter\" meter=\"1\"/><up_axis>Y_UP</up_axis></asset>\n"
           "<library_geometries>\n";
    for (std::size_t m = 0; m < model.meshes.size(); ++m) {
        const Mesh& mesh = model.meshes[m];
        const std::string id = "mesh" + std::to_string(m);
        out << "<geometry id=\"" << id << "\" name=\"" << id << "\"><mesh>\n"
            << "<source id=\"" << id << "-pos\"><float_array id=\"" << id << "-pos-array\" count=\""
            << mesh.points.size() * 3 << "\">";
        for (const glm::vec3& p : mesh.points)
            out << p.x << ' ' << p.y << ' ' << p.z << ' ';
        out << "</float_array>\n<technique_common><accessor source=\"#" << id << "-pos-array\" count=\""
            << mesh.points.size() << "\" stride=\"3\"><param name=\"X\" type=\"float\"/>"
            << "<param name=\"Y\" type=\"float\"/><param name=\"Z\" type=\"float\"/></accessor>"
            << "</technique_common></source>\n"
            << "<vertices id=\"" << id << "-vtx\"><input semantic=\"POSITION\" source=\"#" << id << "-pos\"/></vertices>\n";
        const char* primitive = mesh.lines ? "lines" : "triangles";
        out << '<' << primitive << " count=\"" << mesh.indices.size() / (mesh.lines ? 2 : 3) << "\">"
            << "<input semantic=\"VERTEX\" source=\"#" << id << "-vtx\" offset=\"0\"/><p>";
        for (unsigned index : mesh.indices)
            out << index << ' ';
        out << "</p></" << primitive << ">\n</mesh></geometry>\n";
    }
    out << "</library_geometries>\n<library_visual_scenes><visual_scene id=\"Scene\" name=\"Scene\">\n";
    for (const Node& node : model.roots)
        writeNode(out, node);
    out << "</visual_scene></library_visual_scenes>\n<scene><instance_visual_scene url=\"#Scene\"/></scene>\n"
           "</COLLADA>\n";
    writeText(out.str(), path);
}

void writeText(const std::string& text, const std::string& path)
{
    const std::filesystem::path file(path);
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

} // namespace testmodels

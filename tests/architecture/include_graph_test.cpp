// The subsystem boundaries: every folder of src/ includes only headers of the
// subsystems its CMake target links, and no group of more than two folders
// includes each other round in a circle. A new include that crosses a
// boundary fails here, naming the file and the line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path sourceRoot = fs::path(CRUMBRISE_SOURCE_DIR) / "src";

// Pairs of subsystems allowed to include each other, each for a reason that
// docs/ARCHITECTURE.md gives. There are none today: anything going both ways
// is a new cycle.
const std::set<std::pair<std::string, std::string>> explainedPairs = {};

struct Include {
    std::string file;
    int line;
    std::string subsystem;
};

using Graph = std::map<std::string, std::set<std::string>>;

std::vector<std::string> subsystems()
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(sourceRoot))
        if (entry.is_directory())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every #include "<folder>/..." in the folder's sources that names another
// subsystem.
std::vector<Include> includesOf(const std::string& subsystem, const std::set<std::string>& all)
{
    static const std::regex include(R"(^\s*#\s*include\s*"([^"/]+)/)");
    std::vector<Include> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sourceRoot / subsystem)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp")
            continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            std::smatch match;
            if (std::regex_search(text, match, include) && match[1] != subsystem && all.count(match[1]))
                found.push_back({fs::relative(entry.path(), sourceRoot).string(), line, match[1]});
        }
    }
    return found;
}

// The subsystems named in target_link_libraries(crumbrise_<subsystem> ...).
std::set<std::string> linkedBy(const std::string& subsystem, const std::set<std::string>& all)
{
    std::ifstream in(sourceRoot / subsystem / "CMakeLists.txt");
    std::stringstream text;
    text << in.rdbuf();
    const std::string cmake = text.str();
    const std::regex call("target_link_libraries\\(\\s*crumbrise_" + subsystem + "\\s([^)]*)\\)");
    const std::regex library(R"(crumbrise_(\w+))");
    std::set<std::string> linked;
    for (auto call_ = std::sregex_iterator(cmake.begin(), cmake.end(), call); call_ != std::sregex_iterator();
         ++call_) {
        const std::string arguments = (*call_)[1];
        for (auto it = std::sregex_iterator(arguments.begin(), arguments.end(), library);
             it != std::sregex_iterator(); ++it)
            if (all.count((*it)[1]))
                linked.insert((*it)[1]);
    }
    return linked;
}

Graph includeGraph()
{
    const std::vector<std::string> names = subsystems();
    const std::set<std::string> all(names.begin(), names.end());
    Graph graph;
    for (const std::string& name : names) {
        graph[name];
        for (const Include& include : includesOf(name, all))
            graph[name].insert(include.subsystem);
    }
    return graph;
}

// Strongly connected components (Tarjan): the groups of folders that reach
// each other through includes.
std::vector<std::set<std::string>> cycles(const Graph& graph)
{
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    std::vector<std::set<std::string>> groups;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        onStack.insert(v);
        for (const std::string& w : graph.at(v)) {
            if (!index.count(w)) {
                visit(w);
                low[v] = std::min(low[v], low[w]);
            } else if (onStack.count(w)) {
                low[v] = std::min(low[v], index[w]);
            }
        }
        if (low[v] == index[v]) {
            std::set<std::string> group;
            std::string w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack.erase(w);
                group.insert(w);
            } while (w != v);
            if (group.size() > 1)
                groups.push_back(group);
        }
    };
    for (const auto& [v, edges] : graph)
        if (!index.count(v))
            visit(v);
    return groups;
}

std::string joined(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

TEST(IncludeGraph, EveryFolderIncludesOnlyWhatItsTargetLinksAndLinksOnlyWhatItIncludes)
{
    const std::vector<std::string> names = subsystems();
    ASSERT_GE(names.size(), 11u) << sourceRoot;
    const std::set<std::string> all(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::set<std::string> linked = linkedBy(name, all);
        std::set<std::string> included;
        for (const Include& include : includesOf(name, all)) {
            included.insert(include.subsystem);
            EXPECT_TRUE(linked.count(include.subsystem))
                << include.file << ":" << include.line << " includes " << include.subsystem
                << "/, which crumbrise_" << name << " does not link";
        }
        for (const std::string& library : linked)
            EXPECT_TRUE(included.count(library))
                << "crumbrise_" << name << " links crumbrise_" << library << " but includes nothing of it";
    }
}

TEST(IncludeGraph, NoMoreThanTwoFoldersIncludeEachOtherAndEachPairIsExplained)
{
    for (const std::set<std::string>& group : cycles(includeGraph())) {
        EXPECT_LE(group.size(), 2u) << "folders that include each other round in a circle: " << joined(group);
        if (group.size() == 2) {
            const std::pair<std::string, std::string> pair(*group.begin(), *group.rbegin());
            EXPECT_TRUE(explainedPairs.count(pair))
                << pair.first << " and " << pair.second
                << " include each other; break it, or explain it in docs/ARCHITECTURE.md and here";
        }
    }
}

TEST(IncludeGraph, FindsACycleOfThreeAndTheFolderThatClosesIt)
{
    // The checker itself, on a graph made for it.
    const Graph graph = {{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}, {"d", {"a"}}, {"e", {"f"}}, {"f", {"e"}}};
    const std::vector<std::set<std::string>> found = cycles(graph);
    ASSERT_EQ(found.size(), 2u);
    const std::set<std::string> three{"a", "b", "c"}, two{"e", "f"};
    EXPECT_TRUE(std::count(found.begin(), found.end(), three) == 1);
    EXPECT_TRUE(std::count(found.begin(), found.end(), two) == 1);
}

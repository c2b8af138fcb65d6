// The source folders depend on each other in one direction only (the model
// at the bottom, then the kinds' behaviour, the generator, the editor), and
// no header reaches itself through the headers it includes; the engine's
// modules call down only.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Root = LVK_SOURCE;

// Each source file of the program's folders with the project files it
// includes, both as paths from the top folder.
std::map<std::string, std::vector<std::string>> IncludeGraph() {
  static const std::regex Include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::map<std::string, std::vector<std::string>> Graph;
  for (const char* Folder : {"model", "behaviour", "generator", "ui", "engine", "web"}) {
    if (!fs::exists(Root / Folder)) continue;
    for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Root / Folder)) {
      const std::string Ext = Entry.path().extension().string();
      if (Ext != ".h" && Ext != ".cpp" && Ext != ".c") continue;
      const std::string Name = fs::relative(Entry.path(), Root).generic_string();
      std::vector<std::string>& Targets = Graph[Name];
      std::ifstream In(Entry.path());
      std::smatch Match;
      for (std::string Line; std::getline(In, Line);) {
        if (!std::regex_search(Line, Match, Include)) continue;
        // From the top folder, as the code names them, or beside the file.
        fs::path Target = Root / Match[1].str();
        if (!fs::exists(Target)) Target = Entry.path().parent_path() / Match[1].str();
        if (fs::exists(Target)) Targets.push_back(fs::relative(fs::canonical(Target), fs::canonical(Root)).generic_string());
      }
    }
  }
  return Graph;
}

// Every circle of Graph (a node -> the nodes it includes), each as the
// nodes along it.
std::vector<std::string> CirclesOf(const std::map<std::string, std::vector<std::string>>& Graph) {
  enum class TMark { New, Open, Done };
  std::map<std::string, TMark> Marks;
  std::vector<std::string> Path;
  std::vector<std::string> Circles;
  auto Visit = [&](auto& Self, const std::string& File) -> void {
    Marks[File] = TMark::Open;
    Path.push_back(File);
    const auto Found = Graph.find(File);
    if (Found != Graph.end())
      for (const std::string& Target : Found->second) {
        if (Marks[Target] == TMark::Open) {
          std::string Circle;
          for (auto It = std::find(Path.begin(), Path.end(), Target); It != Path.end(); ++It) Circle += *It + " -> ";
          Circles.push_back(Circle + Target);
        } else if (Marks[Target] == TMark::New) {
          Self(Self, Target);
        }
      }
    Path.pop_back();
    Marks[File] = TMark::Done;
  };
  for (const auto& Entry : Graph)
    if (Marks[Entry.first] == TMark::New) Visit(Visit, Entry.first);
  return Circles;
}

}  // namespace

TEST(Layers, EachFolderIncludesNothingFromTheFoldersAboveIt) {
  const struct {
    const char* Folder;
    std::vector<std::string> Above;
  } Rules[] = {
      {"model/", {"behaviour/", "generator/", "ui/"}},
      {"behaviour/", {"generator/", "ui/"}},
      {"generator/", {"ui/"}},
      {"engine/", {"model/", "behaviour/", "generator/", "ui/"}},
  };
  const auto Graph = IncludeGraph();
  ASSERT_GT(Graph.size(), 100u) << "the sources were not found under " << Root;
  for (const auto& Rule : Rules)
    for (const auto& [File, Targets] : Graph) {
      if (File.rfind(Rule.Folder, 0) != 0) continue;
      for (const std::string& Target : Targets)
        for (const std::string& Above : Rule.Above)
          EXPECT_NE(Target.rfind(Above, 0), 0u) << File << " includes " << Target;
    }
}

TEST(Layers, NoHeaderReachesItselfThroughItsIncludes) {
  const auto Circles = CirclesOf(IncludeGraph());
  EXPECT_TRUE(Circles.empty()) << Circles.size() << " circles, the first: " << Circles.front();
}

// The engine's modules (lvk_engine_NAME.c with its header) call down only:
// a module whose file includes another's header sits above it, and none
// reaches itself. lvk_engine.h, the public header, is every module's and
// belongs to none.
TEST(Layers, NoEngineModuleReachesItselfThroughTheModulesItIncludes) {
  const auto Module = [](const std::string& File) {
    return File == "engine/lvk_engine.h" ? File : File.substr(0, File.rfind('.'));
  };
  std::map<std::string, std::vector<std::string>> Modules;
  for (const auto& [File, Targets] : IncludeGraph()) {
    if (File.rfind("engine/", 0) != 0) continue;
    std::vector<std::string>& Below = Modules[Module(File)];
    for (const std::string& Target : Targets)
      if (Target.rfind("engine/", 0) == 0 && Module(Target) != Module(File)) Below.push_back(Module(Target));
  }
  ASSERT_GT(Modules.count("engine/lvk_engine_actions"), 0u) << "the engine's modules were not found under " << Root;
  const auto Circles = CirclesOf(Modules);
  EXPECT_TRUE(Circles.empty()) << Circles.size() << " circles, the first: " << Circles.front();
}

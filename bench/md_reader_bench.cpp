// The old platform's .MD reader on a generated file holding about 20 MB of
// module text: the compound file opened, every module stream read and
// inflated, the metadata named. Throughput is in bytes of inflated text.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "config/md_config.h"
#include "tests/support/compound_writer.h"

namespace ramulet {
namespace {

constexpr int kForms = 1600;
constexpr size_t kModuleBytes = 20000;  // UTF-8 bytes: 1600 x 12.5 KB of Windows-1251, 20 MB of text

// A form module of ordinary code: methods, assignments, calls, comments.
std::string ModuleText(std::mt19937& random) {
  std::string text;
  for (int method = 0; text.size() < kModuleBytes; ++method) {
    text += "Процедура Метод" + std::to_string(method) + "(Параметр" + std::to_string(random() % 7) + ") Экспорт\r\n";
    // Names and numbers varied enough that the text deflates about four
    // to one, as module text does.
    for (int line = 0; line < 6; ++line) {
      text += "\tЗначение" + std::to_string(random() % 5000) + " = Справочник" + std::to_string(random() % 300) +
              ".Получить(" + std::to_string(random() % 100000) + "); // " + std::to_string(random()) + "\r\n";
      text += "\tЕсли Значение" + std::to_string(random() % 5000) + " > " + std::to_string(random() % 1000) +
              " Тогда Сообщить(\"Готово " + std::to_string(random()) + "\"); КонецЕсли;\r\n";
    }
    text += "КонецПроцедуры\r\n\r\n";
  }
  return Cp1251(text);
}

// Writes the file once; its name and the inflated size of its modules.
struct GeneratedMd {
  std::string file;
  size_t text_bytes = 0;

  // Forms spread over the stores as in a configuration: catalogs (their
  // element and group forms), documents, reports, data processors.
  GeneratedMd() {
    file = (std::filesystem::temp_directory_path() / ("ramulet-bench-" + std::to_string(getpid()) + ".MD")).string();
    struct Store {
      const char* name;
      const char* section;
    };
    const Store stores[] = {{"Subconto", "SbCnts"},
                            {"SubFolder", "SbCnts"},
                            {"Document", "Documents"},
                            {"Report", "ReportList"},
                            {"CalcVar", "CalcVars"}};
    std::map<std::string, std::string> sections;
    std::mt19937 random(17);
    std::vector<CompoundStream> streams;
    for (int form = 0; form < kForms; ++form) {
      const Store& store = stores[form % std::size(stores)];
      const std::string id = std::to_string(form + 100);
      sections[store.section] += ",{\"" + id + "\",\"Object" + id + "\"}";
      const std::string text = ModuleText(random);
      text_bytes += text.size();
      const std::string storage = std::string(store.name) + "/" + store.name + "_Number" + id;
      streams.push_back({storage + "/WorkBook/MD Programm text", DeflateRaw(text)});
    }
    std::string metadata = "{";
    for (const auto& [section, objects] : sections) metadata += "{\"" + section + "\"" + objects + "},";
    streams.push_back({"Metadata/Main MetaData Stream", metadata + "{}}"});
    if (!WriteCompoundFile(file, streams).ok()) std::abort();
  }
  ~GeneratedMd() { std::remove(file.c_str()); }
};

const GeneratedMd& Generated() {
  static const GeneratedMd generated;
  return generated;
}

void BM_ReadMdFile(benchmark::State& state) {
  const GeneratedMd& md = Generated();
  for (auto _ : state) {
    ConfigSources sources;
    if (!ReadMdFile(md.file, sources).ok() || sources.modules.size() != kForms || !sources.problems.empty()) {
      state.SkipWithError("the generated file did not read");
      return;
    }
    benchmark::DoNotOptimize(sources.modules.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(md.text_bytes));
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(md.file)) / 1e6;
  state.counters["text_MB"] = static_cast<double>(md.text_bytes) / 1e6;
}
BENCHMARK(BM_ReadMdFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ramulet

// The old platform's .MD reader on a generated file holding about 20 MB of
// module text: the compound file opened, every module stream read and
// inflated, the metadata named. Throughput is in bytes of inflated text.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
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
    for (int line = 0; line < 6; ++line) {
      text += "\tЗначение" + std::to_string(random() % 50) + " = Справочник.Валюты.Получить(" +
              std::to_string(random() % 1000) + "); // курс на дату\r\n";
      text += "\tЕсли Значение" + std::to_string(random() % 50) + " > 0 Тогда Сообщить(\"Готово\"); КонецЕсли;\r\n";
    }
    text += "КонецПроцедуры\r\n\r\n";
  }
  return Cp1251(text);
}

// Writes the file once; its name and the inflated size of its modules.
struct GeneratedMd {
  std::string file;
  size_t text_bytes = 0;

  GeneratedMd() {
    file = (std::filesystem::temp_directory_path() / ("ramulet-bench-" + std::to_string(getpid()) + ".MD")).string();
    std::mt19937 random(17);
    std::vector<CompoundStream> streams;
    std::string metadata = "{{\"SbCnts\"";
    for (int id = 1; id <= kForms; ++id) {
      metadata += ",{\"" + std::to_string(id + 100) + "\",\"Catalog" + std::to_string(id) + "\"}";
      const std::string text = ModuleText(random);
      text_bytes += text.size();
      const std::string storage = "Subconto/Subconto_Number" + std::to_string(id + 100);
      streams.push_back({storage + "/WorkBook/MD Programm text", DeflateRaw(text)});
    }
    streams.push_back({"Metadata/Main MetaData Stream", metadata + "}}"});
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
    if (!ReadMdFile(md.file, sources).ok() || sources.modules.size() != kForms) {
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

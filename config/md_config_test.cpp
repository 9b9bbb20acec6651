// A made-up .MD file, written by the test, read whole: every store named as
// the old platform's dump names it, texts inflated, and damaged files
// failing (or failing one module) with a message naming the file or stream.
#include "config/md_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/compound_writer.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

const char kMetadata[] =
    "{{\"MainDataContDef\",\"1\",\"2\"},\r\n"
    "{\"TaskItem\",{\"1\",\"Конфигурация\"}},\r\n"
    "{\"SbCnts\",{\"10\",\"Валюты\",\"\",{\"Params\",{\"11\",\"Курс\"}},"
    "{\"Form\",{\"12\",\"Основная\"},{\"13\",\"Выбор \"\"быстрый\"\"\"}}}},\r\n"
    "{\"Documents\",{\"20\",\"Счет\"}},\r\n"
    "{\"Journalisters\",{\"30\",\"Общий\",{\"Form\",{\"31\",\"Журнал\"}}}},\r\n"
    "{\"ReportList\",{\"40\",\"Продажи\"}},\r\n"
    "{\"CalcVars\",{\"50\",\"Загрузка\"},{\"51\",\"Битая\"}},\r\n"
    "{\"Algorithms\",{\"60\",\"Оклад\"}}}";

std::string Module(const std::string& method) {
  return Cp1251("Процедура " + method + "() Экспорт\r\nКонецПроцедуры\r\n");
}

// Text that hardly compresses: its stream spans many sectors.
std::string LongModule(size_t bytes) {
  std::mt19937 random(5);
  std::string text;
  while (text.size() < bytes) text += "Перем П" + std::to_string(random()) + ";\r\n";
  return Cp1251(text);
}

const std::string kDialog = Cp1251("{\"Dialogs\",{\"Кнопка\",\"Сформировать\",\"Сформировать()\"}}");

struct ExpectedModule {
  const char* path;
  const char* name;
  const char* kind;
  std::string text;  // inflated, Windows-1251
};

std::vector<ExpectedModule> ExpectedModules() {
  return {
      {"CalcArg/CalcArg_Number60/WorkBook/MD Programm text", "ВидРасчета.Оклад.МодульРасчета", "CalcModule",
       Module("Расчет")},
      {"CalcVar/CalcVar_Number50/WorkBook/MD Programm text", "Обработка.Загрузка.Форма", "FormModule",
       LongModule(60000)},
      {"CalcVar/CalcVar_Number51/WorkBook/MD Programm text", "Обработка.Битая.Форма", "FormModule", ""},
      {"Document/Document_Number20/WorkBook/MD Programm text", "Документ.Счет.Форма", "FormModule", Module("Печать")},
      {"Journal/Journal_Number31/WorkBook/MD Programm text", "ЖурналДокументов.Общий.ФормаСписка.Журнал", "FormModule",
       Module("Обновить")},
      {"Operation/Operation_Number7/WorkBook/MD Programm text", "Operation.Operation_Number7", "FormModule",
       Module("Операция")},
      {"Report/Report_Number40/WorkBook/MD Programm text", "Отчет.Продажи.Форма", "FormModule", ""},
      {"SubFolder/SubFolder_Number10/WorkBook/MD Programm text", "Справочник.Валюты.ФормаГруппы", "FormModule",
       Module("Группа")},
      {"SubList/SubList_Number13/WorkBook/MD Programm text", "Справочник.Валюты.ФормаСписка.Выбор \"быстрый\"",
       "FormModule", Module("Выбрать")},
      {"Subconto/Subconto_Number10/WorkBook/MD Programm text", "Справочник.Валюты.Форма", "FormModule",
       Module("Записать")},
      {"Subconto/Subconto_Number99/WorkBook/MD Programm text", "Subconto.Subconto_Number99", "FormModule",
       Module("Потерянный")},
      {"TypedText/ModuleText_Number1/MD Programm text", "ГлобальныйМодуль", "GlobalModule", Module("Общая")},
      {"TypedText/ModuleText_Number2/MD Programm text", "TypedText.ModuleText_Number2", "Module", Module("Иное")},
      {"TypedText/Transact_Number20/MD Programm text", "Документ.Счет.МодульПроведения", "PostingModule",
       Module("ОбработкаПроведения")},
  };
}

// The made-up file's streams: the modules above deflated (the report's
// stream empty, the broken data processor's not DEFLATE at all), dialogs
// plain and deflated, a description, the metadata.
std::vector<CompoundStream> MadeUpStreams() {
  std::vector<CompoundStream> streams;
  for (const ExpectedModule& module : ExpectedModules()) {
    std::string bytes = module.text.empty() ? std::string() : DeflateRaw(module.text);
    if (std::string(module.name) == "Обработка.Битая.Форма") bytes = "\x07 not deflate";
    streams.push_back({module.path, bytes});
  }
  streams.push_back({"Metadata/Main MetaData Stream", Cp1251(kMetadata)});
  streams.push_back({"TypedText/UserHelp_Number20", Cp1251("Счет покупателю")});
  streams.push_back({"TypedText/UserHelp_Number21/MD Programm text", DeflateRaw(Cp1251("Описание"))});
  streams.push_back({"Subconto/Subconto_Number10/Dialog Stream", kDialog});
  streams.push_back({"Document/Document_Number20/Dialog Stream", DeflateRaw(kDialog)});
  streams.push_back({"Report/Report_Number40/Dialog Stream", "\x01\x02 neither text nor deflate"});
  return streams;
}

class MdConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    file_ = fs::temp_directory_path() / ("ramulet-md-" + std::to_string(getpid()) + "-" + info->name() + ".MD");
  }
  void TearDown() override { fs::remove(file_); }

  void Write(const std::vector<CompoundStream>& streams) { ASSERT_TRUE(WriteCompoundFile(file_, streams).ok()); }
  std::string Bytes() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Overwrite(const std::string& bytes) const { std::ofstream(file_, std::ios::binary | std::ios::trunc) << bytes; }
  bool MentionsFile(const std::string& message) const { return message.rfind(file_.string() + ": ", 0) == 0; }

  fs::path file_;
};

TEST_F(MdConfigTest, EveryStoreIsNamedFromTheMetadataAndInflated) {
  Write(MadeUpStreams());
  ConfigSources sources;
  ASSERT_TRUE(ReadMdFile(file_, sources).ok());
  EXPECT_EQ(sources.layout, ConfigLayout::kOldMd);
  const std::vector<ExpectedModule> expected = ExpectedModules();
  ASSERT_EQ(sources.modules.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const ModuleSource& module = sources.modules[i];
    SCOPED_TRACE(expected[i].path);
    EXPECT_EQ(module.path, expected[i].path);
    EXPECT_EQ(module.name, expected[i].name);
    EXPECT_EQ(module.kind, expected[i].kind);
    EXPECT_EQ(module.global, module.kind == "GlobalModule");
    EXPECT_EQ(module.encoding, Encoding::Cp1251);
    EXPECT_TRUE(module.file.empty());
    if (module.name == "Обработка.Битая.Форма") {
      EXPECT_FALSE(module.read_error.ok());
      EXPECT_TRUE(MentionsFile(module.read_error.message()));
      EXPECT_NE(module.read_error.message().find("stream " + module.path + ": does not inflate"), std::string::npos)
          << module.read_error.message();
    } else {
      EXPECT_TRUE(module.read_error.ok()) << module.read_error.message();
      EXPECT_EQ(module.bytes, expected[i].text);
    }
  }
  // The store this reader does not name, the unknown object, the module
  // of an unknown kind, and the dialog that is neither text nor DEFLATE.
  ASSERT_EQ(sources.problems.size(), 4u);
  EXPECT_NE(sources.problems[0].find("store Operation is not one whose forms are named"), std::string::npos)
      << sources.problems[0];
  EXPECT_NE(sources.problems[1].find("object 99 of store Subconto is not in the metadata"), std::string::npos)
      << sources.problems[1];
  EXPECT_NE(sources.problems[2].find("a module of an unknown kind; named TypedText.ModuleText_Number2 after its path"),
            std::string::npos)
      << sources.problems[2];
  EXPECT_NE(sources.problems[3].find("stream Report/Report_Number40/Dialog Stream: does not inflate"),
            std::string::npos)
      << sources.problems[3];
  // Dialog callers are the forms', in the order of the forms' paths.
  for (const NamedCaller& caller : sources.named_callers) {
    EXPECT_TRUE(caller.path == "Document/Document_Number20/Dialog Stream" ||
                caller.path == "Subconto/Subconto_Number10/Dialog Stream")
        << caller.path;
    EXPECT_EQ(caller.caller, caller.path[0] == 'D' ? "Документ.Счет.Форма" : "Справочник.Валюты.Форма");
  }
}

TEST_F(MdConfigTest, FilesThatCannotBeReadFailNamingFileOrStream) {
  struct Case {
    const char* name;
    std::string bytes;  // empty: the made-up file without its metadata
    const char* says;
  };
  const Case cases[] = {
      {"zero bytes", "\n", "not a compound file"},
      {"text", "{\"SbCnts\"}", "not a compound file"},
      {"no metadata stream", "", "stream Metadata/Main MetaData Stream: not in the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes.empty()) {
      std::vector<CompoundStream> streams = MadeUpStreams();
      std::erase_if(streams, [](const CompoundStream& s) { return s.path.rfind("Metadata/", 0) == 0; });
      Write(streams);
    } else {
      Overwrite(c.bytes == "\n" ? std::string() : c.bytes);
    }
    ConfigSources sources;
    const Status status = ReadMdFile(file_, sources);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(MentionsFile(status.message())) << status.message();
    EXPECT_NE(status.message().find(c.says), std::string::npos) << status.message();
  }
}

// A damaged file either fails naming the file or is read with each damaged
// module's error naming its stream, never crashing; returns which.
enum class Outcome { kFileFailed, kStreamFailed, kRead };

class DamagedMdTest : public MdConfigTest {
 protected:
  Outcome ReadDamaged(const std::string& bytes) {
    Overwrite(bytes);
    ConfigSources sources;
    const Status status = ReadMdFile(file_, sources);
    last_error_ = status.message();
    if (!status.ok()) {
      EXPECT_TRUE(MentionsFile(status.message())) << status.message();
      return Outcome::kFileFailed;
    }
    Outcome outcome = Outcome::kRead;
    for (const ModuleSource& module : sources.modules) {
      if (module.read_error.ok() || module.name == "Обработка.Битая.Форма") continue;
      EXPECT_TRUE(MentionsFile(module.read_error.message())) << module.read_error.message();
      EXPECT_NE(module.read_error.message().find("stream " + module.path + ": "), std::string::npos)
          << module.read_error.message();
      outcome = Outcome::kStreamFailed;
    }
    return outcome;
  }

  std::string last_error_;
};

TEST_F(DamagedMdTest, TruncatedFilesFailNamingTheFileOrTheStream) {
  Write(MadeUpStreams());
  const std::string whole = Bytes();
  // The writer puts the allocation table last, so every cut loses it.
  for (size_t cut : {size_t{0}, size_t{100}, size_t{512}, size_t{4096}, whole.size() / 3, whole.size() / 2,
                     whole.size() - 4096, whole.size() - 512, whole.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(ReadDamaged(whole.substr(0, cut)), Outcome::kFileFailed);
    if (cut >= 512) {
      EXPECT_NE(last_error_.find("it is cut short: it ends at byte " + std::to_string(cut)), std::string::npos)
          << last_error_;
    }
  }
}

// Sector numbers of the header: the first FAT sector and the directory's.
uint32_t HeaderWord(const std::string& bytes, size_t offset) {
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = word << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return word;
}

TEST_F(DamagedMdTest, CorruptedAllocationTablesAndSectorsNeverCrash) {
  Write(MadeUpStreams());
  const std::string whole = Bytes();
  const size_t fat = (HeaderWord(whole, 0x4C) + 1) * 512;
  const size_t directory = (HeaderWord(whole, 0x30) + 1) * 512;
  ASSERT_LE(fat + 512, whole.size());
  ASSERT_LE(directory + 512, whole.size());
  auto with = [&](size_t at, size_t length, auto&& fill) {
    std::string bytes = whole;
    for (size_t i = 0; i < length && at + i < bytes.size(); ++i) bytes[at + i] = fill(i);
    return bytes;
  };
  // Every FAT entry pointing at itself (loops), past the end, or free.
  auto self = [&](size_t i) { return i % 4 == 0 ? static_cast<char>(i / 4 + (fat / 512 - 1) * 128) : '\0'; };
  auto far = [](size_t i) { return i % 4 == 3 ? '\x00' : '\x7F'; };
  const std::string cases[] = {
      with(fat, 512, self),
      with(fat, 512, far),
      with(fat, 512, [](size_t) { return '\xFF'; }),
      with(directory, 512, [](size_t) { return '\xFF'; }),
      with(directory + 0x74, 8, [](size_t) { return '\x7E'; }),
      with(0x1E, 2, [](size_t) { return '\x20'; }),  // a sector size of 2^32
  };
  for (const std::string& bytes : cases) ReadDamaged(bytes);
  // A chain ended early or sent back on itself, one entry at a time: the
  // long module's chain breaks that module alone.
  int stream_failures = 0;
  for (uint32_t entry = 0; entry < 128; ++entry) {
    if (HeaderWord(whole, fat + entry * 4) != entry + 1) continue;
    for (char end : {'\xFE', '\x01'}) {
      std::string bytes = whole;
      bytes.replace(fat + entry * 4, 4, end == '\xFE' ? std::string("\xFE\xFF\xFF\xFF", 4) : std::string(4, '\0'));
      if (ReadDamaged(bytes) == Outcome::kStreamFailed) ++stream_failures;
    }
  }
  EXPECT_GT(stream_failures, 0);
  // Random bytes flipped anywhere.
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    std::string bytes = whole;
    for (int flips = 0; flips < 8; ++flips) bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
    ReadDamaged(bytes);
  }
}

}  // namespace
}  // namespace ramulet

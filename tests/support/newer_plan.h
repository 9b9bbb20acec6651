#pragma once

// The plan of a generated designer dump: every module with its methods,
// made before any text is written so that each module can call the
// exports of the others.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/config_generator.h"
#include "tests/support/generated_code.h"

namespace ramulet::generated {

enum class NewerKind : uint8_t { kCommon, kSession, kManager, kObject, kForm, kRecordSet };
enum class Collection : uint8_t { kCatalogs, kDocuments, kInformationRegisters };

struct NewerModule {
  NewerKind kind = NewerKind::kCommon;
  std::string name;  // the common module's or the object's name
  Collection collection = Collection::kCatalogs;
  std::string form;  // a form module's form
  bool global = false;
  int64_t lines = 0;
  std::vector<MethodPlan> methods;
  std::vector<int32_t> exports;   // indices into methods
  std::vector<int32_t> internal;  // the methods not exported
};

struct MethodRef {
  int32_t module = 0;
  int32_t method = 0;
};

struct NewerPlan {
  // Common modules first: 0 is ОбщегоНазначения (the accessor of modules
  // by name), 1 .. global_count the global ones.
  std::vector<NewerModule> modules;
  int32_t common_count = 0;
  int32_t global_count = 0;
  std::vector<int32_t> callable_common;  // common modules with exports
  std::vector<int32_t> hiding_common;    // common modules with methods not exported
  std::vector<int32_t> managers;         // manager modules with exports
  std::vector<MethodRef> global_exports;
};

// Module lines spent outside methods, by kind (headers, regions, module
// variables).
int32_t ModuleOverhead(NewerKind kind);
// "Catalogs", "Documents", "InformationRegisters".
const char* CollectionFolder(Collection collection);
// "Справочники", "Документы", "РегистрыСведений".
const char* CollectionWord(Collection collection);

NewerPlan PlanNewer(const ConfigShape& shape);

}  // namespace ramulet::generated

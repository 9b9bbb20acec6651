#include "bench/support/module_generator.h"

#include <algorithm>
#include <random>

namespace ramulet {

namespace {

const char16_t* const kVerbs[] = {u"Заполнить", u"Рассчитать", u"Проверить", u"Записать",  u"Получить",
                                  u"Сформировать", u"Обработать", u"Обновить", u"Загрузить", u"Распределить"};
const char16_t* const kNouns[] = {u"Товары", u"Цены",   u"Скидки",  u"Остатки", u"Движения",
                                  u"Итоги",  u"Услуги", u"Партии", u"Резервы", u"Реквизиты"};
const char16_t* const kVariables[] = {u"Сумма", u"Количество", u"Цена", u"Остаток", u"Скидка", u"Итог"};
const char16_t* const kParameters[] = {u"Документ", u"Склад", u"Контрагент", u"Номенклатура", u"Период"};

class ModuleWriter {
 public:
  explicit ModuleWriter(const ModuleShape& shape) : shape_(shape), random_(shape.seed) {}

  std::vector<std::u16string> Write() {
    int32_t body_lines = shape_.lines - 2 * shape_.methods;
    if (shape_.methods == 0) {
      while (static_cast<int32_t>(lines_.size()) < shape_.lines) lines_.push_back(PlainStatement());
      return std::move(lines_);
    }
    for (int32_t m = 0; m < shape_.methods; ++m) {
      // Spread the body lines evenly; the first methods take the remainder.
      int32_t body = body_lines / shape_.methods + (m < body_lines % shape_.methods ? 1 : 0);
      WriteMethod(m, body);
    }
    return std::move(lines_);
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(std::clamp(p, 0.0, 1.0))(random_); }
  std::u16string Number(int limit) { return Utf16Number(Pick(limit)); }

  static std::u16string Utf16Number(int value) {
    std::string ascii = std::to_string(value);
    return std::u16string(ascii.begin(), ascii.end());
  }

  std::u16string Variable() { return std::u16string(kVariables[Pick(6)]) + Number(10); }

  void WriteMethod(int32_t m, int32_t body) {
    bool function = m % 3 == 1;
    std::u16string header = function ? u"Функция " : u"Процедура ";
    if (m % 17 == 5) header = u"private " + header;
    header += GeneratedMethodName(m) + u"(" + kParameters[Pick(5)] + u", Знач Режим = 0, Комментарий = \"\")";
    lines_.push_back(header);
    calls_left_ = IsLeaf(m) ? 0 : CallCount();
    int32_t written = 0;
    while (written < body) written += WriteStatement(m, body - written, 1);
    lines_.push_back(function ? u"КонецФункции" : u"КонецПроцедуры");
  }

  // Calls of the module's methods in one method's body: the average is
  // calls_per_method, spread by a Poisson draw.
  int CallCount() { return std::poisson_distribution<int>(shape_.calls_per_method)(random_); }

  // Writes one statement of at most `room` lines at nesting `depth`;
  // returns the number of lines written.
  int32_t WriteStatement(int32_t m, int32_t room, int depth) {
    std::u16string indent(static_cast<size_t>(depth), u'\t');
    if (room >= 3 && depth < 4 && Chance(0.15)) return WriteBlock(m, room, depth);
    if (calls_left_ > 0 && Chance(shape_.call_line_share)) {
      --calls_left_;
      lines_.push_back(indent + ModuleCall(m));
      return 1;
    }
    lines_.push_back(indent + PlainStatement());
    return 1;
  }

  int32_t WriteBlock(int32_t m, int32_t room, int depth) {
    std::u16string indent(static_cast<size_t>(depth), u'\t');
    bool loop = Chance(0.4);
    lines_.push_back(indent + (loop ? u"Для Каждого Строка" + Number(5) + u" Из Документ.Товары Цикл"
                                    : u"Если " + Variable() + u" > " + Number(1000) + u" Тогда"));
    int32_t inner_room = std::min<int32_t>(room - 2, 1 + Pick(6));
    int32_t written = 0;
    while (written < inner_room) written += WriteStatement(m, inner_room - written, depth + 1);
    lines_.push_back(indent + (loop ? u"КонецЦикла;" : u"КонецЕсли;"));
    return written + 2;
  }

  int32_t LayerOf(int32_t m) const {
    return static_cast<int32_t>(int64_t{m} * shape_.layers / shape_.methods);
  }
  bool IsLeaf(int32_t m) const { return shape_.layers > 0 && LayerOf(m) == shape_.layers - 1; }

  // A method of a layer below that of `m`.
  int32_t LowerLayerTarget(int32_t m) {
    int32_t first = m + 1;
    while (first < shape_.methods && LayerOf(first) == LayerOf(m)) ++first;
    return first + Pick(shape_.methods - first);
  }

  // A call of another method: mostly a later one close by, some earlier
  // ones, a few of the method itself (with layers, one of a lower layer).
  int32_t CallTarget(int32_t m) {
    if (shape_.layers > 0) return LowerLayerTarget(m);
    int roll = Pick(100);
    bool has_later = m + 1 < shape_.methods;
    if (roll < 4 || (!has_later && m == 0)) return m;
    if (roll < 74 && has_later) {
      int32_t distance = 1 + std::geometric_distribution<int32_t>(0.15)(random_);
      return std::min(m + distance, shape_.methods - 1);
    }
    return m == 0 ? m : Pick(m);
  }

  std::u16string ModuleCall(int32_t m) {
    std::u16string callee = GeneratedMethodName(CallTarget(m));
    switch (Pick(4)) {
      case 0:
        return callee + u"(Документ, " + Number(3) + u");";
      case 1:
        return Variable() + u" = " + callee + u"(Склад) + Окр(" + Variable() + u", 2);";
      case 2:
        return u"ЭтотОбъект." + callee + u"(Контрагент);";
      default:
        return u"Если " + callee + u" (Номенклатура, Период) Тогда Возврат; КонецЕсли;";
    }
  }

  std::u16string ShortStatement() {
    switch (Pick(3)) {
      case 0:
        return u"Итог" + Number(10) + u" = 0;";
      case 1:
        return u"Н = Н + 1;";
      default:
        return u"Возврат;";
    }
  }

  std::u16string PlainStatement() {
    if (shape_.short_share > 0 && Chance(shape_.short_share)) return ShortStatement();
    switch (Pick(8)) {
      case 0:
        return u"// Учитываем " + std::u16string(kNouns[Pick(10)]) + u" по складу " + Number(20);
      case 1:
        return u"Ссылка" + Number(9) + u" = \"http://учет.пример/(раздел)/" + Number(100) + u"\";";
      case 2:
        return u"Запрос.УстановитьПараметр(\"Период\", НачалоМесяца(Период));";
      case 3:
        return u"Строки = Документ.Товары.НайтиСтроки(Новый Структура(\"Склад\", Склад));";
      case 4:
        return Variable() + u" = СтрНайти(Комментарий, \"(\") + Макс(" + Variable() + u", 0);";
      case 5:
        return Variable() + u" = " + Variable() + u" * (1 - " + Variable() + u" / 100); // со скидкой";
      default:
        return Variable() + u" = " + Variable() + u" + " + Variable() + u";";
    }
  }

  const ModuleShape& shape_;
  std::mt19937 random_;
  std::vector<std::u16string> lines_;
  int calls_left_ = 0;
};

}  // namespace

std::u16string GeneratedMethodName(int32_t index) {
  std::string number = std::to_string(index);
  return std::u16string(kVerbs[index % 10]) + kNouns[(index / 10) % 10] + std::u16string(number.begin(), number.end());
}

Status GenerateModule(const ModuleShape& shape, std::vector<std::u16string>& lines) {
  if (shape.methods < 0 || shape.lines < 0 || shape.lines / 3 < shape.methods) {
    return Status::Error(Status::kInvalidArgument, "a generated module needs at least three lines per method");
  }
  lines = ModuleWriter(shape).Write();
  return Status::Ok();
}

}  // namespace ramulet

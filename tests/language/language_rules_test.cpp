// Each of the language's rules, and the lexical cases that trip naive
// readers, with the analysis written out by hand. Both the plain reading
// (tests/support/reference_language) and ModuleAnalyzer must give it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "platform/status.h"
#include "platform/text.h"
#include "tests/support/reference_language.h"

namespace ramulet {
namespace {

struct RuleCase {
  const char* name;
  const char* module;
  // The dump without its first line (line count and rule set).
  const char* dump;
};

const RuleCase kCases[] = {
    {"slashes_inside_a_string_start_no_comment",
     "Процедура А()\n"
     "Стр = \"http://х\"; Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "  call Б 1:18\n"
     "method 1 Б procedure header=3 column=10 end=4 recorded\n"
     "  callers 0\n"},
    {"a_quote_inside_a_comment_opens_no_string",
     "Процедура А() // не \"строка\n"
     "Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "  call Б 1:0\n"
     "method 1 Б procedure header=3 column=10 end=4 recorded\n"
     "  callers 0\n"},
    {"a_continued_string_skips_comment_and_blank_lines",
     "Процедура А()\n"
     "Т = \"первая\n"
     "// комментарий Б()\n"
     "\n"
     "  |Б() вторая\"; Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=5 recorded\n"
     "  call Б 4:16\n"
     "method 1 Б procedure header=6 column=10 end=7 recorded\n"
     "  callers 0\n"},
    {"a_doubled_quote_at_the_end_of_a_string_is_a_quote",
     "Процедура А()\n"
     "Т = \"он сказал \"\"\n"
     "|Б()\"\"\";\n"
     "Т = \"а\"\"\"; Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=4 recorded\n"
     "  call Б 3:11\n"
     "method 1 Б procedure header=5 column=10 end=6 recorded\n"
     "  callers 0\n"},
    {"a_string_without_a_bar_line_ends_with_its_line",
     "Процедура А()\n"
     "Т = \"без конца\n"
     "Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "  call Б 2:0\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded\n"
     "  callers 0\n"},
    {"date_literals_hold_slashes_and_run_to_the_line_end",
     "Процедура А()\n"
     "Д = '2024/01/01//'; Б();\n"
     "Д = '20240101; Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "  call Б 1:20\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded\n"
     "  callers 0\n"},
    {"a_parenthesis_in_a_default_string_does_not_close_the_header",
     "Функция А(П = \")\", Б = 1) Экспорт\n"
     "Возврат Б();\n"
     "КонецФункции\n"
     "Функция Б()\n"
     "КонецФункции\n",
     "method 0 А function header=0 column=8 end=2 recorded export\n"
     "  call Б 1:8\n"
     "method 1 Б function header=3 column=8 end=4 recorded\n"
     "  callers 0\n"},
    {"a_header_over_five_lines",
     "Процедура А(П1,\n"
     "    П2 = \"(\", // )\n"
     "    П3 = '2024)',\n"
     "\n"
     "    П4 = 1) Экспорт\n"
     "КонецПроцедуры\n"
     "Функция В()\n"
     "КонецФункции\n",
     "method 0 А procedure header=0 column=10 end=5 recorded export\n"
     "method 1 В function header=6 column=8 end=7 recorded\n"},
    {"export_on_a_later_line_past_comment_directive_and_blank_lines",
     "Процедура А()\n"
     "// комментарий\n"
     "#Если Сервер Тогда\n"
     "\n"
     "Экспорт\n"
     "Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=6 recorded export\n"
     "  call Б 5:0\n"
     "method 1 Б procedure header=7 column=10 end=8 recorded\n"
     "  callers 0\n"},
    {"english_keywords_in_mixed_case",
     "pRoCeDuRe Alpha() eXpOrT\n"
     "bETA();\n"
     "ENDPROCEDURE\n"
     "FUNCTION Beta()\n"
     "endfunction\n"
     "AsYnC Procedure Gamma()\n"
     "EndProcedure\n",
     "method 0 Alpha procedure header=0 column=10 end=2 recorded export\n"
     "  call Beta 1:0\n"
     "method 1 Beta function header=3 column=9 end=4 recorded\n"
     "  callers 0\n"
     "method 2 Gamma procedure header=5 column=16 end=6 recorded async\n"},
    {"russian_keywords_in_mixed_case",
     "пРоЦеДуРа А()\n"
     "кОнЕцПрОцЕдУрЫ\n"
     "фУНКЦИЯ Б() эКСПОРТ\n"
     "конецфункции\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "method 1 Б function header=2 column=8 end=3 recorded export\n"},
    {"either_end_keyword_ends_either_kind",
     "Процедура А()\n"
     "КонецФункции\n"
     "Функция Б()\n"
     "EndProcedure\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "method 1 Б function header=2 column=8 end=3 recorded\n"},
    {"an_indented_header_gives_the_name_column_on_its_line",
     "\t Процедура\tА()\tЭкспорт\n"
     "\tКонецПроцедуры\n",
     "method 0 А procedure header=0 column=12 end=1 recorded export\n"},
    {"a_word_after_new_is_no_call_even_on_an_earlier_line",
     "Процедура Структура()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "С = Новый Структура(\"а\");\n"
     "С = New Структура;\n"
     "С = нОВЫЙ\n"
     "Структура();\n"
     "Структура();\n"
     "КонецПроцедуры\n",
     "method 0 Структура procedure header=0 column=10 end=1 recorded\n"
     "  callers 1\n"
     "method 1 А procedure header=2 column=10 end=8 recorded\n"
     "  call Структура 7:0\n"},
    {"a_member_execute_beside_a_module_method_execute",
     "Процедура Выполнить()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "Р = Запрос.Выполнить();\n"
     "Выполнить(Код);\n"
     "КонецПроцедуры\n",
     "method 0 Выполнить procedure header=0 column=10 end=1 recorded\n"
     "method 1 А procedure header=2 column=10 end=5 recorded\n"
     "member Запрос|Выполнить from=1 3:11\n"},
    {"this_object_reaches_a_method_named_like_a_keyword",
     "Процедура Выполнить()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "ЭтотОбъект.Выполнить();\n"
     "КонецПроцедуры\n",
     "method 0 Выполнить procedure header=0 column=10 end=1 recorded\n"
     "  callers 1\n"
     "method 1 А procedure header=2 column=10 end=4 recorded\n"
     "  call Выполнить 3:11\n"},
    {"calls_ignore_letter_case_and_allow_blanks_before_the_parenthesis",
     "Процедура Имя()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "имя(); ИМЯ\t ();\n"
     "Имя\n"
     "();\n"
     "КонецПроцедуры\n",
     "method 0 Имя procedure header=0 column=10 end=1 recorded\n"
     "  callers 1 1\n"
     "method 1 А procedure header=2 column=10 end=6 recorded\n"
     "  call Имя 3:0\n"
     "  call Имя 3:7\n"},
    {"calls_in_the_module_body",
     "Перем П;\n"
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "А();\n"
     "П = ЭтотОбъект.А();\n"
     "Запрос.Выполнить();\n",
     "method 0 А procedure header=1 column=10 end=2 recorded\n"
     "body А 3:0\n"
     "body А 4:15\n"
     "member Запрос|Выполнить from=-1 5:7\n"},
    {"this_object_and_this_form_in_any_case",
     "Процедура А()\n"
     "ЭтаФорма.Б(); thisobject.Б(); ThisForm.Б();\n"
     "Х.ЭтотОбъект.Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "  call Б 1:9\n"
     "  call Б 1:25\n"
     "  call Б 1:39\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded\n"
     "  callers 0 0 0\n"
     "member Х.ЭтотОбъект|Б from=0 2:13\n"},
    {"forward_declarations_give_export_and_are_no_methods",
     "Процедура Б() Далее\n"
     "Процедура А()\n"
     "Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б() Экспорт\n"
     "КонецПроцедуры\n"
     "Функция В() Экспорт Далее\n"
     "Функция В()\n"
     "КонецФункции\n"
     "Процедура Г(П) Forward\n"
     "Процедура Г(П)\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=1 column=10 end=3 recorded\n"
     "  call Б 2:0\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded export\n"
     "  callers 0\n"
     "method 2 В function header=7 column=8 end=8 recorded export\n"
     "method 3 Г procedure header=10 column=10 end=11 recorded\n"},
    {"a_forward_declaration_ends_the_open_method",
     "Процедура А()\n"
     "Б();\n"
     "Процедура Б()\n"
     "Далее\n"
     "Б();\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=1\n"
     "  call Б 1:0\n"
     "method 1 Б procedure header=5 column=10 end=6 recorded\n"
     "  callers 0\n"
     "body Б 4:0\n"},
    {"a_forward_declaration_after_the_definition_still_gives_export",
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "Экспорт\n"
     "Далее\n",
     "method 0 А procedure header=0 column=10 end=1 recorded export\n"},
    {"letters_outside_both_alphabets_are_tokens_of_their_own",
     "Процедура Б()\n"
     "ЎБ(); ÉБ(); Б\u00A0();\n"
     "КонецПроцедуры\n",
     "method 0 Б procedure header=0 column=10 end=2 recorded\n"
     "  call Б 1:1\n"
     "  call Б 1:7\n"
     "  callers 0 0\n"},
    {"a_no_break_space_is_no_blank",
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "Процедура\u00A0А()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "body А 2:10\n"},
    {"forward_declarations_never_defined_make_nothing_callable",
     "Процедура Х() Экспорт Далее\n"
     "процедура х() Далее\n"
     "Процедура А()\n"
     "Х();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=2 column=10 end=4 recorded\n"},
    {"yo_is_one_letter_in_both_cases_and_not_ye",
     "Процедура Ёлка()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "ёлка(); Елка(); ЁЛКА();\n"
     "КонецПроцедуры\n"
     "Процедура Елка()\n"
     "КонецПроцедуры\n",
     "method 0 Ёлка procedure header=0 column=10 end=1 recorded\n"
     "  callers 1 1\n"
     "method 1 А procedure header=2 column=10 end=4 recorded\n"
     "  call Ёлка 3:0\n"
     "  call Елка 3:8\n"
     "  call Ёлка 3:16\n"
     "method 2 Елка procedure header=5 column=10 end=6 recorded\n"
     "  callers 1\n"},
    {"a_run_starting_with_a_digit_is_a_number",
     "Процедура А()\n"
     "1А(); _А(); А1();\n"
     "КонецПроцедуры\n"
     "Процедура _А()\n"
     "КонецПроцедуры\n"
     "Процедура А1()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "  call _А 1:6\n"
     "  call А1 1:12\n"
     "method 1 _А procedure header=3 column=10 end=4 recorded\n"
     "  callers 0\n"
     "method 2 А1 procedure header=5 column=10 end=6 recorded\n"
     "  callers 0\n"},
    {"directive_lines_hold_no_header_end_or_call",
     "#Область Служебные\n"
     "&НаСервере\n"
     "Процедура А()\n"
     "#Если Сервер Тогда\n"
     "Б();\n"
     "#КонецЕсли\n"
     "  &НаКлиенте Б();\n"
     "#КонецПроцедуры\n"
     "КонецПроцедуры\n"
     "&НаСервере\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n"
     "#Процедура В()\n"
     "#КонецОбласти\n",
     "method 0 А procedure header=2 column=10 end=8 recorded\n"
     "  call Б 4:0\n"
     "method 1 Б procedure header=10 column=10 end=11 recorded\n"
     "  callers 0\n"},
    {"a_directive_line_ends_a_string_waiting_for_a_bar",
     "Процедура А()\n"
     "Т = \"начало\n"
     "#Если Сервер Тогда\n"
     "|Б()\";\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=4 recorded\n"
     "  call Б 3:1\n"
     "method 1 Б procedure header=5 column=10 end=6 recorded\n"
     "  callers 0\n"},
    {"an_unclosed_header_warns_and_ends_the_method_before_it",
     "Процедура Г()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "Г();\n"
     "\n"
     "Процедура Б(П,\n"
     "П2 = \")\"; Г(\n"
     "КонецПроцедуры\n",
     "method 0 Г procedure header=0 column=10 end=1 recorded\n"
     "  callers 1\n"
     "method 1 А procedure header=2 column=10 end=4\n"
     "  call Г 3:0\n"
     "warning 5: the parameter list of the header on line 6 is never closed\n"},
    {"an_unclosed_header_repeating_a_name_is_no_duplicate",
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "Процедура А(\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "warning 2: the parameter list of the header on line 3 is never closed\n"},
    {"a_second_definition_stops_the_analysis",
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "А();\n"
     "процедура а()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "method 1 Б procedure header=2 column=10 end=3\n"
     "duplicate а line=4 column=10 first=0 code=800A01C9\n"
     "message Процедура или функция «а» объявлена повторно в строке 5\n"},
    {"methods_before_a_duplicate_keep_export_from_forward_declarations",
     "Процедура Б() Экспорт Далее\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "КонецПроцедуры\n"
     "Процедура А() Экспорт Далее\n"
     "Процедура Б()\n",
     "method 0 Б procedure header=1 column=10 end=2 recorded export\n"
     "method 1 А procedure header=3 column=10 end=4 recorded export\n"
     "duplicate Б line=6 column=10 first=1 code=800A01C9\n"
     "message Процедура или функция «Б» объявлена повторно в строке 7\n"},
    {"an_end_with_no_open_method_is_ignored",
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "КонецФункции\n"
     "КонецПроцедуры\n"
     "А();\n",
     "method 0 А procedure header=1 column=10 end=2 recorded\n"
     "body А 4:0\n"},
    {"headers_and_ends_stand_first_on_their_line",
     "Процедура А()\n"
     "Х = 1; КонецПроцедуры\n"
     "Х = 1; Процедура Б()\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "  call Б 2:17\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded\n"
     "  callers 0\n"},
    {"member_call_receivers",
     "Процедура А()\n"
     "А.Б(1).В[2].Г(3);\n"
     "Справочники.Валюты.НайтиПоКоду(\"978\");\n"
     "ОбщийМодуль().Метод();\n"
     "Х = Новый Запрос; Х.Текст.Найти(\"а\");\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=5 recorded\n"
     "member А|Б from=0 1:2\n"
     "member А.Б().В[]|Г from=0 1:12\n"
     "member Справочники.Валюты|НайтиПоКоду from=0 2:19\n"
     "member ОбщийМодуль()|Метод from=0 3:14\n"
     "member Х.Текст|Найти from=0 4:26\n"},
    // A call continued from the line above is still a member call, but its
    // receiver is read on its own line only.
    {"a_receiver_chain_is_read_on_the_call_line",
     "Процедура А()\n"
     "Запрос\n"
     "  .Выполнить() // комментарий\n"
     "  .Выгрузить();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=4 recorded\n"
     "member |Выполнить from=0 2:3\n"
     "member |Выгрузить from=0 3:3\n"},
    {"this_object_after_a_dot_on_the_line_before_is_a_member",
     "Процедура А()\n"
     "Х = Структура.\n"
     "ЭтотОбъект.А();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "member ЭтотОбъект|А from=0 2:11\n"},
    {"this_object_on_the_line_above_its_dot_is_a_member",
     "Процедура А()\n"
     "ЭтотОбъект\n"
     "  .А();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=3 recorded\n"
     "member |А from=0 2:3\n"},
    // Found by the fuzzer: "5м" is a number, so the "." after it joins
    // nothing and the receiver is the name after it alone.
    {"a_number_before_a_dot_is_no_part_of_a_receiver",
     "Процедура А()\n"
     "Х = 5м.х.ч();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "member х|ч from=0 1:9\n"},
    {"a_receiver_starts_at_its_first_word_or_group",
     "Процедура А()\n"
     "Х = \"а\".Длина().Б();\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "member |Длина from=0 1:8\n"
     "member Длина()|Б from=0 1:16\n"},
    {"a_call_on_the_end_line_after_the_end_keyword",
     "Процедура А()\n"
     "КонецПроцедуры Б(); Х.Д();\n"
     "Б();\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "  call Б 1:15\n"
     "method 1 Б procedure header=3 column=10 end=4 recorded\n"
     "  callers 0\n"
     "body Б 2:0\n"
     "member Х|Д from=0 1:22\n"},
    {"async_functions_and_a_lone_async_word",
     "Асинх Функция Загрузить() Экспорт\n"
     "Ждать Загрузить();\n"
     "КонецФункции\n"
     "асинх\n"
     "Процедура Б()\n"
     "КонецПроцедуры\n",
     "method 0 Загрузить function header=0 column=14 end=2 recorded export async\n"
     "  call Загрузить 1:6\n"
     "  callers 0\n"
     "method 1 Б procedure header=4 column=10 end=5 recorded\n"},
    {"the_parameter_list_ends_at_its_first_parenthesis_and_holds_calls",
     "Процедура А(П = Б(1)) Экспорт\n"
     "КонецПроцедуры\n"
     "Процедура Б(Х)\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=1 recorded\n"
     "  call Б 0:16\n"
     "method 1 Б procedure header=2 column=10 end=3 recorded\n"
     "  callers 0\n"},
    {"statement_keywords_are_no_calls",
     "Процедура А()\n"
     "Если(Истина) Тогда Возврат(1) КонецЕсли; Не(А());\n"
     "КонецПроцедуры\n",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "  call А 1:44\n"
     "  callers 0\n"},
    {"callers_follow_the_order_of_the_calling_methods",
     "Процедура Ц()\n"
     "КонецПроцедуры\n"
     "Процедура А()\n"
     "Ц(); Б();\n"
     "КонецПроцедуры\n"
     "Процедура Б()\n"
     "Ц();\n"
     "КонецПроцедуры\n",
     "method 0 Ц procedure header=0 column=10 end=1 recorded\n"
     "  callers 1 2\n"
     "method 1 А procedure header=2 column=10 end=4 recorded\n"
     "  call Ц 3:0\n"
     "  call Б 3:5\n"
     "method 2 Б procedure header=5 column=10 end=7 recorded\n"
     "  call Ц 6:0\n"
     "  callers 1\n"},
    {"line_endings_cr_lf_and_lone_cr",
     "Процедура А()\rБ();\r\nКонецПроцедуры\nПроцедура Б()\r\n\r\nБ();\r",
     "method 0 А procedure header=0 column=10 end=2 recorded\n"
     "  call Б 1:0\n"
     "method 1 Б procedure header=3 column=10 end=5\n"
     "  call Б 5:0\n"
     "  callers 0 1\n"},
};

std::string WithoutFirstLine(const std::string& dump) {
  const size_t end = dump.find('\n');
  return end == std::string::npos ? std::string() : dump.substr(end + 1);
}

class LanguageRulesTest : public ::testing::TestWithParam<RuleCase> {
 protected:
  std::vector<std::u16string> Lines() const { return ReferenceSplitLines(U16(GetParam().module)); }
};

TEST_P(LanguageRulesTest, PlainReading) {
  const std::string dump = ReferenceLanguageDump(Lines());
  EXPECT_EQ(WithoutFirstLine(dump), GetParam().dump) << dump;
  EXPECT_EQ(dump.substr(0, dump.find('\n')),
            "lines=" + std::to_string(Lines().size()) + " rules=language");
}

TEST_P(LanguageRulesTest, Analyzer) {
  const std::optional<std::string> dump = FastLanguageDump(Lines());
  if (!dump) GTEST_SKIP() << "ModuleAnalyzer::Analyze takes no rule set yet";
  EXPECT_EQ(WithoutFirstLine(*dump), GetParam().dump) << *dump;
  EXPECT_EQ(dump->substr(0, dump->find('\n')),
            "lines=" + std::to_string(Lines().size()) + " rules=language");
}

INSTANTIATE_TEST_SUITE_P(Rules, LanguageRulesTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

// LanguageDump writes an analysis result as the plain reading writes the
// same module, so the two compare by their text.
MethodInfo Procedure(std::u16string name, int32_t header, int32_t end) {
  MethodInfo info;
  info.name = std::move(name);
  info.header_line = header;
  info.name_column = 10;
  info.end_line = end;
  info.end_recorded = true;
  return info;
}

std::string DumpOfText(const char* module) { return ReferenceLanguageDump(ReferenceSplitLines(U16(module))); }

TEST(LanguageDump, WritesAResultAsThePlainReadingWritesItsModule) {
  ModuleAnalysis analysis;
  analysis.rules = RuleSet::kLanguage;
  analysis.line_count = 5;
  analysis.methods = {Procedure(u"А", 0, 1), Procedure(u"Б", 3, 4)};
  analysis.IndexNames();
  analysis.BeginCallsOf(0);
  analysis.AddCall({1, 1, 15});
  analysis.FinishCalls();
  analysis.body_calls.push_back({1, 2, 0});
  analysis.AddMemberCall(u"Х", u"Д", 0, 1, 22);
  EXPECT_EQ(LanguageDump(analysis), DumpOfText("Процедура А()\n"
                                               "КонецПроцедуры Б(); Х.Д();\n"
                                               "Б();\n"
                                               "Процедура Б()\n"
                                               "КонецПроцедуры\n"));
  analysis.rules = RuleSet::kPanel;
  EXPECT_NE(LanguageDump(analysis).find("rules=panel"), std::string::npos);
}

TEST(LanguageDump, WritesWarningsAndTheDuplicateError) {
  ModuleAnalysis unclosed;
  unclosed.rules = RuleSet::kLanguage;
  unclosed.line_count = 3;
  unclosed.methods = {Procedure(u"А", 0, 1)};
  unclosed.FinishCalls();
  unclosed.warnings.push_back({2, "the parameter list of the header on line 3 is never closed"});
  EXPECT_EQ(LanguageDump(unclosed), DumpOfText("Процедура А()\nКонецПроцедуры\nПроцедура Б(\n"));

  ModuleAnalysis duplicate;
  duplicate.rules = RuleSet::kLanguage;
  duplicate.line_count = 4;
  duplicate.methods = {Procedure(u"А", 0, 1)};
  AnalysisError error;
  error.kind = AnalysisError::Kind::kDuplicateMethod;
  error.status = Status::Error(Status::kDuplicateKey, "Процедура или функция «а» объявлена повторно в строке 3");
  error.line = 2;
  error.name = u"а";
  error.name_column = 10;
  error.first_line = 0;
  duplicate.error = error;
  EXPECT_EQ(LanguageDump(duplicate), DumpOfText("Процедура А()\nКонецПроцедуры\nПроцедура а()\nА();\n"));
}

// A receiver keeps at most its last kMaxReceiverParts parts: a line of n
// chained calls costs n receivers of bounded length, not n * n.
TEST(LanguageRules, ALongReceiverKeepsItsLastParts) {
  std::u16string line = u"Х = ";
  for (int n = 0; n < 70; ++n) line += u"а().";
  line += u"Б();";
  std::u16string last;
  for (size_t n = 0; n < kMaxReceiverParts / 2; ++n) last += n == 0 ? u"а()" : u".а()";
  const std::vector<std::u16string> lines = {u"Процедура А()", line, u"КонецПроцедуры"};
  const std::string dump = ReferenceLanguageDump(lines);
  EXPECT_NE(dump.find("member …" + Utf16ToUtf8(last) + "|Б from=0"), std::string::npos) << dump;
  EXPECT_EQ(FastLanguageDump(lines).value_or(""), dump);
}

// The plain reading's lines end where the module text's lines do.
TEST(ReferenceSplitLines, EndsLinesAtCrLfLfAndLoneCr) {
  const std::vector<std::u16string> expected = {u"а", u"", u"б", u"в", u"", u"г"};
  EXPECT_EQ(ReferenceSplitLines(u"а\r\n\nб\rв\r\rг"), expected);
  EXPECT_EQ(ReferenceSplitLines(u"а\n").size(), 1u);
  EXPECT_EQ(ReferenceSplitLines(u"а\n\n").size(), 2u);
  EXPECT_TRUE(ReferenceSplitLines(u"").empty());
}

}  // namespace
}  // namespace ramulet

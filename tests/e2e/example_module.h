#pragma once

#include <string>
#include <vector>

// What examples/sales_module.bsl holds, written down by hand from reading
// it: the end-to-end tests compare the panel's windows with these values,
// never with the product's own analysis of the text. Lines are 0-based
// (the editor's numbering); a method's index is its place in the module.
namespace e2e {

struct ExpectedCall {
  const wchar_t* target;
  int line;
};

struct ExpectedMethod {
  const wchar_t* name;
  int header_line;
  std::vector<ExpectedCall> calls;     // in the order they appear
  std::vector<const wchar_t*> callers;  // one entry per call, in module order
};

// The example's methods in module order.
const std::vector<ExpectedMethod>& ExampleMethods();

// The names of a method's calls, and of its callers, as the lists show them.
std::vector<std::wstring> CalleeNames(int method);
std::vector<std::wstring> CallerNames(int method);
// The method's index, -1 when the example has none of that name.
int MethodIndex(const std::wstring& name);

// The deepest path of the example's call tree, from a top-level node down,
// and the children the tree shows at each node of that path (its calls,
// without a method already on the path, which would recurse).
struct ExpectedLevel {
  const wchar_t* node;
  std::vector<const wchar_t*> children;
};
const std::vector<ExpectedLevel>& DeepestPath();

}  // namespace e2e

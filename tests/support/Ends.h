// The first or last element of a list, or an empty value when there is none: a test that
// expects something of an empty list then fails with a readable message instead of crashing.
#pragma once

namespace sayvane::testing {

template <class List>
auto firstOf(const List& list) {
  return list.empty() ? typename List::value_type{} : list.front();
}

template <class List>
auto lastOf(const List& list) {
  return list.empty() ? typename List::value_type{} : list.back();
}

}  // namespace sayvane::testing

#include "rtl/tlist.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace rtl {

namespace {
void checkIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
}
} // namespace

void TList::Insert(int index, void* p) {
  checkIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, p);
}

void TList::Delete(int index) {
  checkIndex(index, Count());
  items_.erase(items_.begin() + index);
}

int TList::IndexOf(const void* p) const {
  const auto it = std::find(items_.begin(), items_.end(), p);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(const void* p) {
  const int index = IndexOf(p);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Items(int index) const {
  checkIndex(index, Count());
  return items_[static_cast<std::size_t>(index)];
}

void TList::SetItem(int index, void* p) {
  checkIndex(index, Count());
  items_[static_cast<std::size_t>(index)] = p;
}

} // namespace rtl

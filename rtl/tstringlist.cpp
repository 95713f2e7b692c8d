#include "rtl/tstringlist.h"

#include "rtl/sysutils.h"

#include <algorithm>
#include <stdexcept>

namespace rtl {

namespace {
void checkIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
}
} // namespace

int TStringList::Add(const std::string& s) { return AddObject(s, 0); }

int TStringList::AddObject(const std::string& s, std::intptr_t object) {
  items_.push_back(Item{s, object});
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s, std::intptr_t object) {
  checkIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, Item{s, object});
}

void TStringList::Delete(int index) {
  checkIndex(index, Count());
  items_.erase(items_.begin() + index);
}

void TStringList::Clear() { items_.clear(); }

const std::string& TStringList::operator[](int index) const {
  checkIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::SetString(int index, const std::string& s) {
  checkIndex(index, Count());
  items_[static_cast<std::size_t>(index)].text = s;
}

std::intptr_t TStringList::Objects(int index) const {
  checkIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::SetObject(int index, std::intptr_t object) {
  checkIndex(index, Count());
  items_[static_cast<std::size_t>(index)].object = object;
}

int TStringList::IndexOf(const std::string& s) const {
  if (caseSensitive_) return IndexOfExact(s);
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i].text, s)) return static_cast<int>(i);
  return -1;
}

int TStringList::IndexOfExact(const std::string& s) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].text == s) return static_cast<int>(i);
  return -1;
}

int TStringList::IndexOfObject(std::intptr_t object) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].object == object) return static_cast<int>(i);
  return -1;
}

void TStringList::Sort() {
  if (caseSensitive_)
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.text < b.text; });
  else
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return CompareText(a.text, b.text) < 0; });
}

std::string TStringList::Text() const {
  std::string r;
  for (const auto& item : items_) {
    r += item.text;
    r += '\n';
  }
  return r;
}

void TStringList::SetText(const std::string& text) {
  items_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool lastLine = end == std::string::npos;
    if (lastLine) end = text.size();
    std::size_t lineEnd = end;
    if (!lastLine && lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
    items_.push_back(Item{text.substr(start, lineEnd - start), 0});
    start = end + 1;
  }
}

void TStringList::AddStrings(const TStringList& other) {
  if (&other == this) {
    const auto copy = other.items_;
    items_.insert(items_.end(), copy.begin(), copy.end());
    return;
  }
  items_.insert(items_.end(), other.items_.begin(), other.items_.end());
}

} // namespace rtl

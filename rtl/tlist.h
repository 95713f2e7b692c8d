#pragma once
// A list of untyped pointers; the list never owns what they point to.
#include <vector>

namespace rtl {

class TList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  int Add(void* p) { items_.push_back(p); return Count() - 1; }
  void Insert(int index, void* p);
  void Delete(int index);
  int IndexOf(const void* p) const;
  int Remove(const void* p);
  void Clear() { items_.clear(); }
  void* Items(int index) const;
  void* operator[](int index) const { return Items(index); }
  void SetItem(int index, void* p);

private:
  std::vector<void*> items_;
};

} // namespace rtl

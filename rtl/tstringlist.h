#pragma once
// An ordered list of strings, each with one pointer-sized object word (an object ID, a
// station number, a node kind). Comparisons in IndexOf, Find and Sort ignore the case of
// the letters a-z unless the list is made case-sensitive, as the framework's list does.
#include <cstdint>
#include <string>
#include <vector>

namespace rtl {

class TStringList {
public:
  struct Item {
    std::string text;
    std::intptr_t object = 0;
  };

  TStringList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }

  /// Appends a string and returns its index.
  int Add(const std::string& s);
  /// Appends a string with its object word and returns its index.
  int AddObject(const std::string& s, std::intptr_t object);
  void Insert(int index, const std::string& s, std::intptr_t object = 0);
  void Delete(int index);
  void Clear();

  /// The string at an index; throws std::out_of_range for an index outside the list.
  const std::string& operator[](int index) const;
  const std::string& Strings(int index) const { return (*this)[index]; }
  void SetString(int index, const std::string& s);
  std::intptr_t Objects(int index) const;
  void SetObject(int index, std::intptr_t object);

  /// Index of the first item equal to s (case-insensitive unless CaseSensitive), -1 if none.
  int IndexOf(const std::string& s) const;
  /// Index of the first item exactly equal to s, whatever the case setting.
  int IndexOfExact(const std::string& s) const;
  /// Index of the first item whose object word equals object, -1 if none.
  int IndexOfObject(std::intptr_t object) const;

  /// Sorts by text (case-insensitive unless CaseSensitive); stable for equal texts.
  void Sort();

  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on) { caseSensitive_ = on; }

  /// The items joined by line feeds (each followed by "\n").
  std::string Text() const;
  /// Replaces the items by the lines of text (split at "\n", a "\r" before it dropped).
  void SetText(const std::string& text);

  /// Appends every item of another list, objects included.
  void AddStrings(const TStringList& other);

  void BeginUpdate() { ++updating_; }
  void EndUpdate() { if (updating_ > 0) --updating_; }

  const std::vector<Item>& items() const { return items_; }
  std::vector<Item>::const_iterator begin() const { return items_.begin(); }
  std::vector<Item>::const_iterator end() const { return items_.end(); }

private:
  std::vector<Item> items_;
  bool caseSensitive_ = false;
  int updating_ = 0;
};

} // namespace rtl

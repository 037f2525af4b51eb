#include <cstdlib>
#include <cstring>
#include <new>

#include "msgreport.h"

namespace {

constexpr char kUnregisteredMessage[] = "Unregistered message";
// The fallback buffer is larger than its text so that callers that format
// into it, as older callers did, have room to do so.
constexpr std::size_t kUnregisteredBufferElements = 1024;
constexpr std::size_t kUnregisteredElementSize = 4;

std::shared_ptr<const char[]> CopyString(const char* chars,
                                         std::size_t length) {
  std::unique_ptr<char[]> copy = std::make_unique<char[]>(length + 1);
  std::memcpy(copy.get(), chars, length);
  copy[length] = '\0';
  return std::shared_ptr<const char[]>(std::move(copy));
}

char* CallocOrThrow(std::size_t count, std::size_t size) {
  void* buffer = std::calloc(count, size);
  if (buffer == nullptr) throw std::bad_alloc();
  return static_cast<char*>(buffer);
}

}  // namespace

bool MessageMap::KeyLess::operator()(const char* a, const char* b) const {
  return std::strcmp(a, b) < 0;
}

MessageMap::MessageMap() = default;

MessageMap::~MessageMap() = default;

MessageMap& MessageMap::operator=(const MessageMap& source) {
  // Texts and owned keys are shared, never changed in place, and released
  // with the last map that holds them, so the copy is independent.
  if (this != &source) entries_ = source.entries_;
  return *this;
}

void MessageMap::AddMessage(const char* key, const char* text) {
  auto found = entries_.lower_bound(key);
  if (found != entries_.end() && !entries_.key_comp()(key, found->first)) {
    return;
  }
  entries_.emplace_hint(found, key,
                        Entry{nullptr, CopyString(text, std::strlen(text))});
}

bool MessageMap::LookupMessage(const char* key, char*& text) const {
  const char* stored = FindMessage(key);
  if (stored == nullptr) {
    text = CallocOrThrow(kUnregisteredBufferElements, kUnregisteredElementSize);
    std::memcpy(text, kUnregisteredMessage, sizeof kUnregisteredMessage);
    return false;
  }
  std::size_t length = std::strlen(stored);
  text = CallocOrThrow(length + 1, 1);
  std::memcpy(text, stored, length);
  return true;
}

void MessageMap::RemoveMessage(const char* key) { entries_.erase(key); }

const char* MessageMap::FindMessage(const char* key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : found->second.text.get();
}

void MessageMap::ReplaceMessage(const char* key, std::size_t key_length,
                                const char* text, std::size_t text_length) {
  Entry entry{CopyString(key, key_length), CopyString(text, text_length)};
  const char* owned_key = entry.owned_key.get();
  auto found = entries_.find(owned_key);
  if (found != entries_.end()) entries_.erase(found);
  entries_.emplace(owned_key, std::move(entry));
}

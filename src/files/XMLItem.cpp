#include "files/XMLItem.h"

#include <utility>

#include "common/Assert.h"
#include "common/SafeFile.h"
#include "files/XMLText.h"

namespace {

void AppendIndent(std::string& out, int depth) {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

}  // namespace

TXMLItem::TXMLItem(std::string name, bool isString)
    : element_(std::move(name)), isString_(isString) {}

TXMLItem::~TXMLItem() = default;

const std::string& TXMLItem::GetElement() const { return element_; }

bool TXMLItem::IsString() const { return isString_; }

TXMLComplexElement::TXMLComplexElement(std::string name) : TXMLItem(std::move(name), false) {}

TXMLComplexElement::~TXMLComplexElement() {
  // Flatten the subtree into a work list so that each element dies childless: no recursion,
  // whatever the depth or the number of siblings.
  std::vector<std::unique_ptr<TXMLItem>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<TXMLItem> item = std::move(pending.back());
    pending.pop_back();
    if (!item->IsString()) {
      auto& grandChildren = static_cast<TXMLComplexElement&>(*item).children_;
      for (auto& child : grandChildren) pending.push_back(std::move(child));
      grandChildren.clear();
    }
  }
}

TXMLItem* TXMLComplexElement::FindElement(std::string_view name) const {
  for (const auto& child : children_) {
    if (child->GetElement() == name) return child.get();
  }
  return nullptr;
}

const std::string& TXMLComplexElement::GetString() const { KORVANA_ASSERT(false); }

TXMLItem* TXMLComplexElement::GetFirstElement() const {
  return children_.empty() ? nullptr : children_.front().get();
}

TXMLItem* TXMLComplexElement::GetElements() const { return GetFirstElement(); }

void TXMLComplexElement::Write(std::string& out, int depth) const {
  AppendIndent(out, depth);
  if (children_.empty()) {
    out += "<" + GetElement() + " />\n";
    return;
  }
  out += "<" + GetElement() + ">\n";
  for (const auto& child : children_) child->Write(out, depth + 1);
  AppendIndent(out, depth);
  out += "</" + GetElement() + ">\n";
}

void TXMLComplexElement::AddElement(std::unique_ptr<TXMLItem> child) {
  KORVANA_ASSERT(child != nullptr);
  child->next = nullptr;
  if (!children_.empty()) children_.back()->next = child.get();
  children_.push_back(std::move(child));
}

TXMLComplexElement& TXMLComplexElement::AddComplex(std::string name) {
  auto child = std::make_unique<TXMLComplexElement>(std::move(name));
  TXMLComplexElement& result = *child;
  AddElement(std::move(child));
  return result;
}

TXMLStringElement& TXMLComplexElement::AddString(std::string name, std::string text) {
  auto child = std::make_unique<TXMLStringElement>(std::move(name), std::move(text));
  TXMLStringElement& result = *child;
  AddElement(std::move(child));
  return result;
}

TXMLItem* TXMLComplexElement::GetLastElement() const {
  return children_.empty() ? nullptr : children_.back().get();
}

void TXMLComplexElement::RemoveElementsAfter(TXMLItem* savedLast) {
  // Search from the back: the children to remove were appended last, so this costs only as
  // much as there is to remove.
  std::size_t keep = children_.size();
  if (savedLast == nullptr) {
    keep = 0;
  } else {
    while (keep > 0 && children_[keep - 1].get() != savedLast) --keep;
    KORVANA_ASSERT(keep > 0);
    savedLast->next = nullptr;
  }
  while (children_.size() > keep) children_.pop_back();
}

std::string TXMLComplexElement::WriteXMLString(const std::string& doctypeSuffix) const {
  const std::string doctype = GetElement() + doctypeSuffix;
  std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
  out += "<!DOCTYPE " + doctype + " SYSTEM \"" + doctype + ".dtd\">\n\n";
  Write(out, 0);
  return out;
}

bool TXMLComplexElement::WriteXMLFile(const std::string& fileName, std::string& error,
                                      const std::string& doctypeSuffix) const {
  std::string systemReason;
  if (!WriteFileAtomically(fileName, WriteXMLString(doctypeSuffix), systemReason)) {
    error = "Operating System cannot open file for writing, maybe the file is readonly.";
    return false;
  }
  return true;
}

TXMLStringElement::TXMLStringElement(std::string name, std::string text)
    : TXMLItem(std::move(name), true), text_(std::move(text)) {}

TXMLItem* TXMLStringElement::FindElement(std::string_view) const { KORVANA_ASSERT(false); }

const std::string& TXMLStringElement::GetString() const { return text_; }

TXMLItem* TXMLStringElement::GetFirstElement() const { KORVANA_ASSERT(false); }

TXMLItem* TXMLStringElement::GetElements() const { KORVANA_ASSERT(false); }

void TXMLStringElement::Write(std::string& out, int depth) const {
  AppendIndent(out, depth);
  out += "<" + GetElement() + ">" + EscapeText(text_) + "</" + GetElement() + ">\n";
}

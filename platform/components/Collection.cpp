#include "platform/components/Collection.h"

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

TCollectionItem* TCollection::Add() {
  FItems.push_back(FFactory(this));
  return FItems.back().get();
}

void TCollection::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
}

void TCollection::Clear() { FItems.clear(); }

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == item) return int(i);
  return -1;
}

void TCollection::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TCollection*>(source)) {
    if (other == this) return;
    Clear();
    for (const auto& item : other->FItems) Add()->Assign(item.get());
    return;
  }
  TPersistent::Assign(source);
}

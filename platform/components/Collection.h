#pragma once
// Collections: ordered lists of items that the collection owns, stored in layouts as
// "< item ... end item ... end >". Assigning a collection copies every item.
#include <functional>
#include <memory>
#include <vector>

#include "platform/components/Persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection* collection) : FCollection(collection) {}
  std::string ClassName() const override { return "TCollectionItem"; }
  TCollection* Collection() const { return FCollection; }
  int Index() const;

 private:
  TCollection* FCollection;
};

class TCollection : public TPersistent {
 public:
  using TItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;
  explicit TCollection(TItemFactory factory) : FFactory(std::move(factory)) {}
  std::string ClassName() const override { return "TCollection"; }

  TCollectionItem* Add();
  int Count() const { return int(FItems.size()); }
  TCollectionItem* Items(int index) const { return FItems[size_t(index)].get(); }
  void Delete(int index);
  void Clear();
  int IndexOf(const TCollectionItem* item) const;
  void Assign(const TPersistent* source) override;

 private:
  TItemFactory FFactory;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
};

// A collection of items of one class.
template <class TItem>
class TTypedCollection : public TCollection {
 public:
  TTypedCollection()
      : TCollection([](TCollection* c) -> std::unique_ptr<TCollectionItem> { return std::make_unique<TItem>(c); }) {}
  TItem* Add() { return static_cast<TItem*>(TCollection::Add()); }
  TItem* Items(int index) const { return static_cast<TItem*>(TCollection::Items(index)); }
};

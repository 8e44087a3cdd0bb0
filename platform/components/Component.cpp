#include "platform/components/Component.h"

#include <algorithm>
#include <map>

#include "platform/components/PropertyBuilder.h"

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  // Anyone who asked to hear of our end hears of it now.
  std::vector<TComponent*> notifies = std::move(FFreeNotifies);
  for (TComponent* c : notifies) {
    c->RemoveFreeNotification(this);
    c->Notification(this, opRemove);
  }
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Free(TComponent* component) {
  if (!component) return;
  if (!component->InState(csDestroying)) component->BeforeDestruction();
  delete component;
}

void TComponent::BeforeDestruction() {
  Destroying();
  DestroyComponents();
}

void TComponent::DestroyComponents() {
  // The last created goes first.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    RemoveComponent(c);
    Free(c);
  }
}

void TComponent::Destroying() {
  if (InState(csDestroying)) return;
  IncludeState(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetName(const std::string& name) { FName = name; }

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->FOwner == this) return;
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it == FComponents.end()) return;
  Notification(component, opRemove);
  it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it != FComponents.end()) FComponents.erase(it);
  component->FOwner = nullptr;
}

void TComponent::Loaded() { ExcludeState(csLoading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) RemoveFreeNotification(component);
  // Owned components hear of each other's insertion and removal.
  if (InState(csDestroying)) return;
  for (TComponent* c : std::vector<TComponent*>(FComponents))
    if (c != component) c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
    component->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (it == FFreeNotifies.end()) return;
  FFreeNotifies.erase(it);
  auto back = std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this);
  if (back != component->FFreeNotifies.end()) component->FFreeNotifies.erase(back);
}

const TPropertyTable& TComponent::ClassProperties() {
  static const TPropertyTable table = [] {
    TPropertyTable t(&TPersistent::ClassProperties());
    TPropertyBuilder<TComponent> b(t);
    b.String("Name", [](TComponent& c, const std::string& v) { c.SetName(v); });
    b.Integer("Tag", kInt64Range, [](TComponent& c, int64_t v) { c.Tag = intptr_t(v); });
    return t;
  }();
  return table;
}

// ---- Class registry ----------------------------------------------------------------------------

namespace {
std::map<std::string, TComponentFactory>& Registry() {
  static std::map<std::string, TComponentFactory> r;
  return r;
}
}  // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
  Registry()[UpperCase(className)] = factory;
}

TComponentFactory FindComponentClass(const std::string& className) {
  auto it = Registry().find(UpperCase(className));
  return it == Registry().end() ? nullptr : it->second;
}

#pragma once
// TComponent: an object with an owner that destroys it, a name, the components it owns and
// a state (loading, reading, destroying, designing).
#include <any>
#include <map>
#include <string>
#include <vector>

#include "platform/components/Persistent.h"

enum TComponentStateFlag : uint32_t {
  csLoading = 1 << 0,
  csReading = 1 << 1,
  csWriting = 1 << 2,
  csDestroying = 1 << 3,
  csDesigning = 1 << 4,
  csAncestor = 1 << 5,
  csUpdating = 1 << 6,
  csFreeNotification = 1 << 7,
};
using TComponentState = uint32_t;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Destroys a component the way the model does: it is told first (BeforeDestruction, while
  // the whole object still exists), then deleted. Safe with nullptr.
  static void Free(TComponent* component);

  std::string ClassName() const override { return "TComponent"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& name);
  intptr_t Tag = 0;

  int ComponentCount() const { return int(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents[size_t(index)]; }
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponentState ComponentState() const { return FComponentState; }
  bool InState(TComponentState flags) const { return (FComponentState & flags) != 0; }
  void IncludeState(TComponentState flags) { FComponentState |= flags; }
  void ExcludeState(TComponentState flags) { FComponentState &= ~flags; }

  // Called once the stored layout of the whole form has been read.
  virtual void Loaded();
  // Told about components inserted into or removed from the owner, and about components
  // this one asked to hear of (FreeNotification) when they are destroyed.
  virtual void Notification(TComponent* component, TOperation operation);
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // Stored layouts: a nested object is given the object it is nested in (controls take it
  // as their parent), and event names are looked up among the root's methods.
  virtual void SetParentComponent(TComponent*) {}
  virtual void GetMethods(std::map<std::string, std::any>&) {}

 protected:
  // Runs first in Free(): subclasses tear down what needs the whole object (windows, child
  // controls); the base destroys the owned components.
  virtual void BeforeDestruction();
  void DestroyComponents();

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState = 0;
};

// Creating components by class name (stored layouts name their classes).
using TComponentFactory = TComponent* (*)(TComponent* owner);
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
TComponentFactory FindComponentClass(const std::string& className);

template <class T>
void RegisterComponentClass(const std::string& className) {
  RegisterComponentClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

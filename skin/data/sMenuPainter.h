#pragma once
// What a skin manager asks of its menu painter, the part of the skin library that draws menus
// from the skin. The painter lives in a library above this one; the manager makes it through
// a factory that library registers.
#include <functional>
#include <memory>

#include "platform/widgets/Controls.h"

class TsSkinManager;

class TsMenuPainter {
 public:
  virtual ~TsMenuPainter() = default;
  // A new skin is active (or none): measure the borders again, drop composed pictures.
  virtual void SkinChanged() = 0;
  // Switches every menu of the program to skinned drawing (or back).
  virtual void Activate(bool on) = 0;
  // The manager's messages on the application's hidden window; true when handled.
  virtual bool HandleAppMessage(TMessage& message) = 0;

  using TFactory = std::function<std::unique_ptr<TsMenuPainter>(TsSkinManager* manager)>;
  // Set by the library that provides the painter; managers made without it have none.
  static TFactory& Factory() {
    static TFactory factory;
    return factory;
  }
};

#pragma once
// The descriptor every built-in kind uses: its texts and icon from its line
// of the catalogue (the icon loaded from the program's resources when the
// descriptor is made, freed with it) and a factory. Each kind module keeps one as a function-local singleton, so the
// icon is loaded on first use rather than during static initialisation.
#include <string>
#include <utility>

#include "behaviour/UBehaviour.h"
#include "behaviour/UKindCatalogue.h"
#include "behaviour/UResources.h"
#include "model/UBitmap.h"

namespace lvk {

class TEventKindInfo final : public TEventKind {
public:
  using TFactory = TEventBase* (*)(THandler&);
  TEventKindInfo(const TCatalogueKind& Entry, TEngineCode Engine, TFactory Factory)
      : FDisplayName(Entry.Name), FDescription(Entry.Text), FSortOrder(Entry.SortOrder),
        FIcon(LoadResourceBitmap(IconName(Entry))), FEngine(Engine), FFactory(Factory) {}

  std::string DisplayName() const override { return FDisplayName; }
  std::string Description() const override { return FDescription; }
  int SortOrder() const override { return FSortOrder; }
  const TPeekBitmap& Icon() const override { return FIcon; }
  TEngineCode EngineCode() const override { return FEngine; }
  TEventBase* Create(THandler& Handler) const override { return FFactory(Handler); }

private:
  std::string FDisplayName;
  std::string FDescription;
  int FSortOrder;
  TPeekBitmap FIcon;
  TEngineCode FEngine;
  TFactory FFactory;
};

class TActionKindInfo final : public TActionKind {
public:
  using TFactory = TActionBase* (*)(THandler&);
  TActionKindInfo(const TCatalogueKind& Entry, TEngineCode Engine, TFactory Factory)
      : FDisplayName(Entry.Name), FDescription(Entry.Text), FIcon(LoadResourceBitmap(IconName(Entry))),
        FEngine(Engine), FFactory(Factory) {}

  std::string DisplayName() const override { return FDisplayName; }
  std::string Description() const override { return FDescription; }
  const TPeekBitmap& Icon() const override { return FIcon; }
  TEngineCode EngineCode() const override { return FEngine; }
  TActionBase* Create(THandler& Handler) const override { return FFactory(Handler); }

private:
  std::string FDisplayName;
  std::string FDescription;
  TPeekBitmap FIcon;
  TEngineCode FEngine;
  TFactory FFactory;
};

}  // namespace lvk

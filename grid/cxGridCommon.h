// What every part of the grid shares: cell states, grid notification kinds, the grid's own
// screen cursor, the receivers of grid notifications and the base of the change objects that
// the grid runs at once or queues (grid/cxGrid.h holds the queue and the concrete changes).
#pragma once

#include <cstddef>
#include <vector>

#include "foundation/cxControls.h"

class TcxCustomGrid;
class TcxCustomGridView;

// The row-selection cursor, registered with the screen's cursors by the unit start.
constexpr TCursor crcxGridSelectRow = 4007;

enum TcxGridCellState { gcsNone = 0, gcsHot = 1, gcsPressed = 2 };

// Scrolling directions of automatic scrolling.
enum TcxGridScrollDirection { gsdNone = 0, gsdLeft = 1, gsdRight = 2, gsdUp = 3, gsdDown = 4 };

enum TcxGridNotificationKind {
  gnkFocusedViewChanged = 0,
  gnkFocusedRecordChanged = 1,
  gnkRecordCountChanged = 2,
  gnkContextMenu = 3,
  gnkCustomization = 4,
  gnkKeyDown = 5
};
using TcxGridNotificationKinds = TSet<TcxGridNotificationKind, 8>;

// A receiver of grid notifications (TcxCustomGrid::AddNotification). The argument of a
// context popup points to a bool (true: invoked from the keyboard), of a key message to the
// TMessage.
class TcxCustomGridNotification {
 public:
  virtual ~TcxCustomGridNotification() = default;
  virtual TcxGridNotificationKinds NotificationKinds() = 0;
  virtual void Notify(TcxGridNotificationKind kind, void* argument, bool& handled) = 0;
};

// ---- change objects ---------------------------------------------------------------------------

// A key under which the queue finds a change's duplicates and coverers without comparing every
// pair: `kind` is a class-level tag, `view` the view concerned (null: the whole grid), `extra`
// anything else that tells changes apart.
struct TcxGridChangeKey {
  std::size_t kind = 0;
  const void* view = nullptr;
  std::size_t extra = 0;
  bool operator==(const TcxGridChangeKey&) const = default;
};
using TcxGridChangeKeys = std::vector<TcxGridChangeKey>;
std::size_t GridChangeKeyHash(const TcxGridChangeKey& key);
struct TcxGridChangeKeyHasher {
  std::size_t operator()(const TcxGridChangeKey& key) const { return GridChangeKeyHash(key); }
};

// A deferred piece of grid work. The queue relies on two contracts besides the answers of
// IsDuplicateOf and IsCoveredBy: a change that is a duplicate of another has the same
// DuplicateKey, and a change covered by another wants (CoveringKeys) a key that the other
// provides (CoverKeys).
class TcxCustomGridChange : public TObject {
  KORVAN_CLASS(TcxCustomGridChange, TObject)

 public:
  TcxCustomGridChange() = default;
  // The grid the change runs on (set just before execution; null when a view without a grid
  // runs it directly).
  TcxCustomGrid* Control() const { return control_; }
  void SetControl(TcxCustomGrid* v) { control_ = v; }
  // The view concerned, for the queue's indexes (null: none or the whole grid).
  virtual TcxCustomGridView* ChangeView() const { return nullptr; }

  virtual bool CanExecuteLocked() { return true; }
  virtual void Execute() = 0;
  virtual bool IsCoveredBy(TcxCustomGridChange* change) { return false; }
  virtual bool CanDropDuplicates() { return true; }
  virtual bool IsDuplicateOf(TcxCustomGridChange* change) { return change->ClassType() == ClassType(); }
  virtual bool IsDeferrable() { return true; }

  virtual TcxGridChangeKey DuplicateKey();
  virtual void CoverKeys(TcxGridChangeKeys& keys) {}
  virtual void CoveringKeys(TcxGridChangeKeys& keys) {}

 private:
  TcxCustomGrid* control_ = nullptr;
};

// A change of one view (null: the whole grid).
class TcxCustomGridViewChange : public TcxCustomGridChange {
  KORVAN_CLASS(TcxCustomGridViewChange, TcxCustomGridChange)

 public:
  explicit TcxCustomGridViewChange(TcxCustomGridView* gridView) : gridView_(gridView) {}
  TcxCustomGridView* GridView() const { return gridView_; }
  TcxCustomGridView* ChangeView() const override { return gridView_; }
  bool IsDuplicateOf(TcxCustomGridChange* change) override;
  TcxGridChangeKey DuplicateKey() override;

 private:
  TcxCustomGridView* gridView_;
};

// Cover-key kinds of the grid's own changes.
enum : std::size_t { gckLayout = 1, gckSize = 2, gckSizeKeepMaster = 3, gckData = 4 };

// Unit start: registers the row-selection cursor (our picture "CX_GRIDSELECTROWCURSOR").
void InitializeCxGridCommon();

// Option setters: stores a value that differs and answers whether it did.
template <class T>
bool GridStoreOption(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

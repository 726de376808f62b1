#pragma once

// The DataView control. Its object is a definition in the program's resources with either
// side or both: a SQL row set (the rows its select finds, changed in memory and written back
// by update() through the transaction it is bound to), and a drawn page of named objects
// (pictures and texts at fixed places) whose properties describe() reads and modify() sets.
// Each side is a unit of its own inside the runtime (dataview_rows, dataview_page); this
// one control joins them.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control.h"

namespace rt {

class Transaction;

class DataView : public Control {
 public:
  RT_CLASS(dataview)
  DataView();
  ~DataView() override;

  // The DataView object it shows, by name (a definition in the program's resources).
  // Naming another one drops the rows held and starts its page afresh.
  Prop<std::string> dataobject{this, ""};
  // A lowered frame around the control.
  Prop<bool> border{this, false};

  // Binds the row set to a transaction made by rt::create, held by reference: once it is
  // destroyed, retrieve and update fail. -1 for a transaction the runtime did not make
  // (the binding is dropped), or when `dataobject` names no definition.
  int settransobject(Transaction& transaction);

  // Replaces the rows by those the select finds for these arguments: their count, or -1
  // on an error (a database error is described on the transaction). The first row found
  // becomes the current row.
  long retrieve(const std::vector<std::string>& arguments);
  long retrieve(const std::string& argument) { return retrieve(std::vector<std::string>{argument}); }

  // Inserts an empty row before `row`, or at the end for 0: its number, or -1. A row
  // inserted into a DataView without a current row becomes the current row.
  long insertrow(long row);
  long rowcount() const noexcept;
  // The current row, 0 when there is none.
  long getrow() const noexcept;

  // A column of a row by name; nullopt for a null value or a bad row or column.
  std::optional<std::string> getitemstring(long row, const std::string& column) const;
  // 1, or -1 for a bad row or column.
  int setitem(long row, const std::string& column, const std::string& value);
  // Takes the pending edit into its row: there is no edit on screen, so always 1.
  int accepttext();

  // Writes the changes since the last resetupdate() through the transaction, without
  // committing: an inserted row is inserted with the columns set in it, a retrieved row
  // with changed columns is updated by its key. 1, or -1 at the first failure, reported on
  // the transaction (an update of a row that no longer exists, or of more than one row for
  // its key, is a failure too); nothing is shown. The changes stay pending either way, so
  // after a rollback the same write can be made again.
  int update();
  // The changes are stored for good (their commit succeeded): the rows now stand as they
  // are in the table, and the next update() writes only what changes from here.
  int resetupdate();

  // ---- The drawn page.
  // A property of a page object, "name.property" (type, name, x, y, width, height, border,
  // tag, filename of a picture, text of a text): its value as text. A picture's type is
  // "bitmap", a text's "text". "!" for no such object or property, "?" for the tag of an
  // object that has none.
  std::string describe(const std::string& expression) const;
  // Sets properties of page objects, each "name.property=value" with the value quoted
  // ('...' or "...", ~ escaping the next character) or a bare word; several are separated
  // by blanks. Border takes 0 (none), 5 (lowered) or 6 (raised); Tag any text. "" when
  // everything was set, otherwise what is wrong (what came before it stays set).
  std::string modify(const std::string& expression);
  // The page object under the mouse pointer and the row, "name\trow" (row 0: the page's
  // objects belong to no row); "" over bare page or while the pointer is off the control.
  std::string getobjectatpointer() const;

  // Events. The pointer moved over the control (flags as the mouse events have them:
  // 1 left button, 2 right, 4 Shift, 8 Ctrl; the place in logical units from the control's
  // top-left corner). A left click on it, run on release over the control: the place, the
  // row and the name of the page object clicked ("" for none). Their results are not used.
  virtual long mousemove(unsigned long flags, int xpos, int ypos) {
    (void)flags, (void)xpos, (void)ypos;
    return 0;
  }
  virtual long clicked(int xpos, int ypos, long row, const std::string& dvo) {
    (void)xpos, (void)ypos, (void)row, (void)dvo;
    return 0;
  }

  bool takesFocus() const override { return true; }

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void propertyChanged(const void* which) override;
  void syncWidget(const void* which) override;

 private:
  friend class PageWidget;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt

#pragma once

// The DataView control over a SQL row set: the rows its object's select finds, changed in
// memory and written back by update() through the transaction it is bound to.

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
  // Naming another one drops the rows held.
  Prop<std::string> dataobject{this, ""};

  // Binds the row set to a transaction, which must outlive the binding. -1 when
  // `dataobject` names no definition.
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

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void propertyChanged(const void* which) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt

#include "maintenance/cleanup.h"

namespace vendaro::maintenance {

int deleteFilteredEstimates(table::Cursor& estimates) {
  estimates.checkBrowseMode();
  estimates.setFiltered(true);
  table::Transaction transaction(estimates);
  int deleted = estimates.removeAll();
  transaction.commit();
  return deleted;
}

}  // namespace vendaro::maintenance

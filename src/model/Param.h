#pragma once
// One panel parameter of a page: the field that shows it (its status label takes the colours),
// the read and write commands, the codec and how each exchange waits for its answer.
#include <string>

#include "model/Codecs.h"
#include "model/PanelIdentity.h"
#include "model/Control.h"

namespace zorvan {

// The query styles of the exchange.
enum class TQuery {
  None,        // not exchanged in this direction by the table
  ReadParam,   // "OK" required, 3 attempts; also the write style of most pages
  QueryValue,  // as ReadParam; the page colours only the outcome
  ToEdit,      // "OK" not required, 3 attempts: a read into an edit field
  FromEdit,    // "OK\r" not required, 3 attempts: a write from an edit field
  WriteParam,  // as ReadParam, for writes
};

struct TParam {
  TControl* field = nullptr;
  std::string read;   // "+GC1"
  std::string write;  // "+GC1=": the encoded value follows
  const TCodec* codec = &codec::kText;
  TQuery readStyle = TQuery::ReadParam;
  TQuery writeStyle = TQuery::ReadParam;
  // Panels that have the parameter; null for every panel.
  bool (*applies)(const TPanelIdentity& panel) = nullptr;
};

}  // namespace zorvan

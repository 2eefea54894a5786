#include "files/DTDBuilders.h"

#include <utility>
#include <vector>

#include "common/Assert.h"

namespace {

// Folds items from the right: a , (b , c).
template <typename Combinator>
DTDPtr RightNested(std::initializer_list<DTDPtr> items) {
  std::vector<DTDPtr> list(items);
  DTDPtr result = list.back();
  for (std::size_t i = list.size() - 1; i-- > 0;) {
    result = std::make_shared<const Combinator>(list[i], std::move(result));
  }
  return result;
}

}  // namespace

DTDPtr Empty() {
  static const DTDPtr empty = std::make_shared<const TDTDEmpty>();
  return empty;
}

DTDPtr Text(std::string name, bool mayBeEmpty) {
  return std::make_shared<const TDTDContentText>(std::move(name), mayBeEmpty);
}

std::shared_ptr<const TDTDCompound> Compound(std::string name, DTDPtr content) {
  return std::make_shared<const TDTDCompound>(std::move(name), std::move(content));
}

DTDPtr Seq(std::initializer_list<DTDPtr> items) {
  if (items.size() == 0) return Empty();
  return RightNested<TDTDConcat>(items);
}

DTDPtr Choice(DTDPtr first, DTDPtr second) {
  return std::make_shared<const TDTDChoice>(std::move(first), std::move(second));
}

DTDPtr Choice(std::initializer_list<DTDPtr> alternatives) {
  KORVANA_ASSERT(alternatives.size() > 0);
  return RightNested<TDTDChoice>(alternatives);
}

DTDPtr Optional(DTDPtr item) { return std::make_shared<const TDTDOptional>(std::move(item)); }

DTDPtr Repeat(DTDPtr item) { return std::make_shared<const TDTDRepeatMin0>(std::move(item)); }

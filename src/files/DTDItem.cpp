#include "files/DTDItem.h"

TDTDItem::~TDTDItem() = default;

#include "palette/PaletteTable.h"

using PaletteChannels::Channel;
using PaletteChannels::SuperChannel;

PaletteTable::PaletteTable(const TColorPalette1D& palette)
    : cyclic(palette.GetCyclic()), palette_(&palette) {
  for (const TColorPalette1DItem* item = palette.GetFirst(); item; item = item->GetNext()) {
    positions.push_back(item->GetDPosition());
    const TColorPalette1DItem* next = item->GetNext();
    if (next == nullptr) break;
    for (int c = 0; c < 3; ++c) {
      const int shift = 8 * c;
      from[c].push_back(Channel(item->GetColorAfter(), shift));
      to[c].push_back(Channel(next->GetColorBefore(), shift));
      superFrom[c].push_back(SuperChannel(item->GetColorAfter(), item->GetSuperAnchorColorAfter(),
                                          item->GetSuperFactorAfter().GetValue(), shift));
      superTo[c].push_back(SuperChannel(next->GetColorBefore(), next->GetSuperAnchorColorBefore(),
                                        next->GetSuperFactorBefore().GetValue(), shift));
    }
    transFrom.push_back(item->GetTransFactorAfter().GetValue());
    transTo.push_back(next->GetTransFactorBefore().GetValue());
  }
  countable_ = positions.size() >= 2;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (std::isnan(positions[i]) || (i > 0 && positions[i] < positions[i - 1])) countable_ = false;
  }
}

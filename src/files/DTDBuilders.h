#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "files/DTDElement.h"
#include "files/DTDExpression.h"

// Small builders so that grammars read like their notation:
//   Compound("A", Seq({Text("B"), Optional(Text("C", true)), Repeat(Compound("D"))}))
// Every builder returns a new immutable item; parts may be shared between grammars.

// Matches nothing.
DTDPtr Empty();
// <name>text</name>; with mayBeEmpty also <name></name>.
DTDPtr Text(std::string name, bool mayBeEmpty = false);
// <name> content </name>, or <name /> when content can be empty.
std::shared_ptr<const TDTDCompound> Compound(std::string name, DTDPtr content = Empty());
// The items in order, as a right-nested chain of concatenations; Empty() for no items.
DTDPtr Seq(std::initializer_list<DTDPtr> items);
// One of the alternatives, tried in order; more than two nest to the right.
DTDPtr Choice(DTDPtr first, DTDPtr second);
DTDPtr Choice(std::initializer_list<DTDPtr> alternatives);
// item?
DTDPtr Optional(DTDPtr item);
// item*
DTDPtr Repeat(DTDPtr item);

#include "model/element_radii.h"

#include <string>

#include <gemmi/elem.hpp>

namespace lamivex::model {
namespace {

gemmi::El elementOf(std::string_view symbol) {
    return gemmi::find_element(std::string(symbol).c_str());
}

}  // namespace

bool isKnownElement(std::string_view symbol) {
    return !symbol.empty() && symbol.size() <= 2 && elementOf(symbol) != gemmi::El::X;
}

std::string elementSymbol(std::string_view symbol) {
    return gemmi::element_name(elementOf(symbol));
}

double covalentRadius(std::string_view symbol) {
    return gemmi::covalent_radius(elementOf(symbol));
}

double vanDerWaalsRadius(std::string_view symbol) {
    return gemmi::vdw_radius(elementOf(symbol));
}

}  // namespace lamivex::model

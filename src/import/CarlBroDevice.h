#pragma once
// What both Carl Bro readers write of the device.

#include "document/PDDXFile.h"

namespace vantrel {

// The closing values both Carl Bro readers give every document: the machine is always the same.
inline void SetCarlBroDevice(PDDXFile& document)
{
    document.Element(pddx::Units::DropHistoryDataFrequencyUnits).SetValue("Hertz");
    document.Element(pddx::DeviceInformation::DeviceDesignationName).SetValue("CarlBro FWD");
    document.Element(pddx::DeviceInformation::DeviceModelNumber).SetValue("PRI 2100");
    document.Element(pddx::DeviceInformation::DeviceLoadType).SetValue("Impulse");
}

}  // namespace vantrel

#include "location/QualifiedCoordinates.h"

namespace javax::microedition::location {

QualifiedCoordinates* QualifiedCoordinates::TESLinvokeconstructor(double latitude, double longitude,
                                                                  float altitude, float horizontalAccuracy,
                                                                  float verticalAccuracy) {
    Coordinates::TESLinvokeconstructor(latitude, longitude, altitude);
    setHorizontalAccuracy(horizontalAccuracy);
    setVerticalAccuracy(verticalAccuracy);
    return this;
}

float QualifiedCoordinates::getHorizontalAccuracy() {
    return m_horizontalAccuracy;
}

float QualifiedCoordinates::getVerticalAccuracy() {
    return m_verticalAccuracy;
}

void QualifiedCoordinates::setHorizontalAccuracy(float horizontalAccuracy) {
    m_horizontalAccuracy = horizontalAccuracy;
}

void QualifiedCoordinates::setVerticalAccuracy(float verticalAccuracy) {
    m_verticalAccuracy = verticalAccuracy;
}

}  // namespace javax::microedition::location

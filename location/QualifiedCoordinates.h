// javax.microedition.location.QualifiedCoordinates: coordinates with their horizontal and vertical
// accuracies in metres (any value is stored).
#pragma once

#include "location/Coordinates.h"

namespace javax::microedition::location {

class QualifiedCoordinates : public Coordinates {
    TESL_CLASS(QualifiedCoordinates, "javax.microedition.location.QualifiedCoordinates", Coordinates)
public:
    QualifiedCoordinates() noexcept {}
    ~QualifiedCoordinates() override = default;

    QualifiedCoordinates* TESLinvokeconstructor(double latitude, double longitude, float altitude,
                                                float horizontalAccuracy, float verticalAccuracy);

    virtual float getHorizontalAccuracy();
    virtual float getVerticalAccuracy();
    virtual void setHorizontalAccuracy(float horizontalAccuracy);
    virtual void setVerticalAccuracy(float verticalAccuracy);

private:
    float m_horizontalAccuracy = 0.0f;
    float m_verticalAccuracy = 0.0f;
};

}  // namespace javax::microedition::location

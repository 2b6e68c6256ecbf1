#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Small DNG files as a camera or Adobe's converter writes them, made with libtiff for the tests,
// the fuzz seeds and the benchmark: the embedded preview (a JPEG, or none) in the first
// directory, the sensor's mosaic (RGGB, 16-bit samples between the black and the white level) in
// a sub-directory, the white balance as shot and a colour matrix.
namespace DngFile {

struct Recipe {
    // The scene as the sensor saw it (stored orientation), in sRGB; each sensor site takes its
    // colour's share of the pixel at its place.
    QImage scene;
    // The EXIF orientation the camera stored (1 upright, 6 a quarter turn clockwise to view, ...).
    int orientation = 1;
    // The preview JPEG written into the file (stored orientation, like the mosaic); none when null.
    QImage preview;
    int black = 256;
    int white = 16383;
    // The camera's response to a neutral grey (AsShotNeutral): red and blue weaker than green,
    // as daylight gives most sensors.
    float neutral[3] = { 0.5f, 1.0f, 0.7f };
    // The size the file states for its mosaic when it differs from the scene's (a header that
    // lies); only the scene's samples are written.
    QSize statedSize;
    QString make = QStringLiteral("Pictomat");
    QString model = QStringLiteral("Test Camera");
};

// The colour matrix the files carry (XYZ to camera, row by row), a plausible camera's.
extern const float ColorMatrix[9];

// Writes the DNG; false (with a warning) when libtiff refuses.
bool write(const QString &path, const Recipe &recipe);

// The scene turned as a viewer shows it with `orientation` (EXIF 1..8).
QImage upright(const QImage &scene, int orientation);

} // namespace DngFile

#pragma once

// The EXIF and frame-header fields of one JPEG file, filled by CExifReader.
// The creator clears the record to zero before a read.
struct ExifInfo
{
    char exifVersion[5];
    char make[32];
    char model[40];
    char dateTimeOriginal[20];
    int height;
    int width;
    int orientation;
    int isColor;
    int frameMarker;
    int flashUsed;
    float focalLength;
    float exposureTime;
    float fNumber;
    float subjectDistance;
    float ccdWidth;
    float exposureBias;
    int lightSource;
    int meteringMode;
    int exposureProgram;
    int isoSpeed;
    int compressedBitsPerPixel;
    float focalPlaneXRes;
    float focalPlaneYRes;
    float focalPlaneUnitInches;
    float xResolution;
    float yResolution;
    float resolutionUnitInches;
    float brightness;
    char comments[1000];
    // Points into the held EXIF section: valid only while the reader lives.
    unsigned char* thumbnail;
    unsigned thumbnailSize;
    bool isExif;
};

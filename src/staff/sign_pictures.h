#pragma once

#include "staff/staff_signs.h"

#include <QImage>

class QPainter;

namespace zintaro::staff {

// The program's pictures of the signs at the start of a staff.
const QImage& clefPicture(ClefSign sign);
const QImage& bracePicture();

// Paints the clefs and the brace in their boxes, the pictures' white
// see-through so that the staff lines run through them.
void paintStaffSigns(QPainter& painter, const StaffSigns& signs);

} // namespace zintaro::staff

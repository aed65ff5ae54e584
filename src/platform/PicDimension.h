#pragma once

namespace zanfeld {

// Which side of a picture the picture rule measures.
enum class PicDimension { Width, Height };

}  // namespace zanfeld

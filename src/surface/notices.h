// The words of every notice: the four texts of each operation, fixed when
// the work starts, and the notices set directly.
#pragma once

#include <string_view>

#include "model/notice.h"

namespace pagora::surface::notices {

OperationTexts add_printer(std::string_view found_name);
OperationTexts set_default(std::string_view queue_name);
OperationTexts set_enabled(bool enabled);
OperationTexts cancel_job();
OperationTexts retry_job();
OperationTexts print_document(std::string_view document_name, std::string_view queue_name);
OperationTexts save_page(std::string_view file_name);
OperationTexts save_document(std::string_view file_name);

Notice text_copied();
Notice scan_failed();
Notice rotate_failed(std::string_view error);
Notice crop_failed(std::string_view error);
Notice recognition_failed(std::string_view error);
Notice document_picker_failed();
Notice save_picker_failed();

}  // namespace pagora::surface::notices

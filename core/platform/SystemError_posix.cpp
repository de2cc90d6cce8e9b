#include "SystemError.h"

#include <cerrno>

namespace kvaderon::platform {

namespace {

const char* RussianReason(int AErrno) {
    switch (AErrno) {
    case ENOENT: return "Файл или папка не найдены";
    case EACCES: return "Отказано в доступе";
    case EPERM: return "Операция не разрешена";
    case ENOSPC: return "Недостаточно места на диске";
    case EDQUOT: return "Превышена дисковая квота";
    case EROFS: return "Файловая система доступна только для чтения";
    case EISDIR: return "Указан путь к папке, а не к файлу";
    case ENOTDIR: return "Часть пути не является папкой";
    case EEXIST: return "Файл уже существует";
    case ENAMETOOLONG: return "Слишком длинное имя файла";
    case EMFILE:
    case ENFILE: return "Слишком много открытых файлов";
    case ENOMEM: return "Недостаточно памяти";
    case EFBIG: return "Файл слишком велик";
    case EIO: return "Ошибка ввода-вывода";
    case EPIPE: return "Обрыв канала: читающая сторона закрыта";
    case EXDEV: return "Файлы находятся на разных устройствах";
    case EBUSY: return "Файл занят";
    case ETXTBSY: return "Файл занят другим процессом";
    case ELOOP: return "Слишком много символических ссылок в пути";
    case EINVAL: return "Недопустимый аргумент";
    case ENODEV: return "Устройство не поддерживает эту операцию";
    case EOVERFLOW: return "Значение слишком велико";
    default: return nullptr;
    }
}

} // namespace

std::string SystemErrorText(const std::error_code& AError) {
    if (AError.category() == std::generic_category() || AError.category() == std::system_category())
        if (const char* reason = RussianReason(AError.value()))
            return reason;
    return "Системная ошибка " + std::to_string(AError.value()) + " (" + AError.message() + ")";
}

std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

} // namespace kvaderon::platform

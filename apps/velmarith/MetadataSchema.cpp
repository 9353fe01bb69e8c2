#include "MetadataSchema.h"

namespace velmarith::app {

QStringList metadataSchema()
{
    return {
        QStringLiteral("create table if not exists 系统窗体表(窗体名称 text, 识别码 text, 窗体位置 text, "
                       "窗体样式 text, 窗体宽度 text, 窗体高度 text, 列表高度 text)"),
        QStringLiteral("create table if not exists 系统显示项目表(窗体名称 text, 显示区域名称 text, 识别码 text, "
                       "是否显示 text, 显示顺序 text, 序号 text, 显示名称 text, 显示宽度 text, 显示方式 text, "
                       "项目名称 text)"),
        QStringLiteral("create table if not exists 系统约束关联表(表名 text, 项目 text, 关联类型 text, "
                       "关联表名 text, 关联项目 text, 关联说明 text)"),
        QStringLiteral("create table if not exists 系统数据字典表(表名 text, 项目 text, 内容 text, 说明 text)"),
    };
}

QStringList metadataTableNames()
{
    return {QStringLiteral("系统窗体表"), QStringLiteral("系统显示项目表"), QStringLiteral("系统约束关联表"),
            QStringLiteral("系统数据字典表")};
}

} // namespace velmarith::app

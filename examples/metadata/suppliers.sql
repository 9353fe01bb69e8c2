-- Regions and the suppliers in them, for `velmarith init --table 地区 --table 供应商`: every
-- construct below gives the window something (see the README, "Metadata from the schema").
create table 地区(
    编号 varchar(4) primary key,
    名称 varchar(20) not null
);
insert into 地区 values('01', '华东');
insert into 地区 values('02', '西南');

create table 供应商(
    编号 varchar(6) primary key,
    名称 varchar(40) not null,
    地区 varchar(4) not null references 地区(编号),
    等级 varchar(1) not null check (等级 in ('A', 'B', 'C')),
    电话 varchar(20) default '023-',
    合作 boolean not null default true,
    备注 varchar(200)
);
insert into 供应商(编号, 名称, 地区, 等级) values('000001', '重庆银行办公用品部', '02', 'A');

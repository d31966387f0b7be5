-- Both schemas of the program: the company-wide one (tarovel) and the HR one (hr0910).
CREATE DATABASE IF NOT EXISTS tarovel CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
CREATE DATABASE IF NOT EXISTS hr0910 CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;

CREATE TABLE IF NOT EXISTS tarovel.versionmaster (
  version_id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  pack_code VARCHAR(20) NOT NULL,
  version_code VARCHAR(50) NULL,
  KEY ix_pack (pack_code)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS tarovel.userdetails (
  user_id INT NOT NULL PRIMARY KEY,
  user_name VARCHAR(255) NOT NULL,
  user_password MEDIUMTEXT NULL,
  user_login_sys INT NOT NULL DEFAULT 0,
  unit_code VARCHAR(20) NULL,
  user_admin VARCHAR(20) NULL,
  modified_by INT NULL,
  modified_date VARCHAR(10) NULL,
  modified_time VARCHAR(8) NULL,
  KEY ix_user_name (user_name)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS tarovel.unitmaster (
  unit_code VARCHAR(20) NOT NULL PRIMARY KEY,
  unit_name VARCHAR(255) NOT NULL,
  unit_priority INT NOT NULL DEFAULT 0,
  unit_app_acc INT NOT NULL DEFAULT 0,
  unit_app_circ INT NOT NULL DEFAULT 0
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS tarovel.unitaccess (
  unit_code VARCHAR(20) NOT NULL,
  user_id VARCHAR(20) NOT NULL,
  PRIMARY KEY (unit_code, user_id),
  KEY ix_user (user_id)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr0910.numbersetup (
  no_id VARCHAR(64) NOT NULL PRIMARY KEY,
  no_value VARCHAR(64) NULL
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr0910.hr_av (
  av_code VARCHAR(64) NOT NULL PRIMARY KEY,
  av_name MEDIUMTEXT NULL,
  av_pur_key MEDIUMTEXT NULL,
  av_install_key MEDIUMTEXT NULL,
  created_by INT NULL,
  created_date VARCHAR(10) NULL,
  created_time VARCHAR(8) NULL,
  modified_by INT NULL,
  modified_date VARCHAR(10) NULL,
  modified_time VARCHAR(8) NULL
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr0910.hr_av_activation (
  unit_code VARCHAR(20) NOT NULL,
  sys_id VARCHAR(64) NOT NULL,
  sys_ip MEDIUMTEXT NULL,
  sys_os MEDIUMTEXT NULL,
  sys_user MEDIUMTEXT NULL,
  sys_dept MEDIUMTEXT NULL,
  exp_date DATE NULL,
  sys_remarks MEDIUMTEXT NULL,
  created_by INT NULL,
  created_date VARCHAR(10) NULL,
  created_time VARCHAR(8) NULL,
  modified_by INT NULL,
  modified_date VARCHAR(10) NULL,
  modified_time VARCHAR(8) NULL,
  PRIMARY KEY (unit_code, sys_id),
  KEY ix_sys_id (sys_id),
  KEY ix_unit_exp (unit_code, exp_date)
) ENGINE=InnoDB;

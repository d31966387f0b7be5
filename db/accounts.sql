-- The two accounts of the connection texts, on any server these scripts start.
CREATE USER IF NOT EXISTS 'root'@'127.0.0.1' IDENTIFIED BY '7341';
ALTER USER 'root'@'127.0.0.1' IDENTIFIED BY '7341';
GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION;
CREATE USER IF NOT EXISTS 'quorvex'@'%' IDENTIFIED BY 'amberlantern';
ALTER USER 'quorvex'@'%' IDENTIFIED BY 'amberlantern';
GRANT ALL PRIVILEGES ON tarovel.* TO 'quorvex'@'%';
GRANT ALL PRIVILEGES ON hr0910.* TO 'quorvex'@'%';
FLUSH PRIVILEGES;
